// The main window as a window that can grow: the controls follow their edges, the
// specified layout is the smallest size, and the place is kept across a restart.
#include <gtest/gtest.h>
#include <windows.h>

#include "res/resource.h"
#include "settings/WindowPlacement.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/UiDriver.h"

namespace {

RECT ChildRect(HWND main, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(main, id), &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT WindowRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

std::string Bytes(const std::wstring& path) {
    std::string bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char buf[4096];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n) bytes.append(buf, n);
    CloseHandle(h);
    return bytes;
}

bool Resize(HWND main, int cx, int cy) {
    RECT r = WindowRect(main);
    SetWindowPos(main, nullptr, r.left, r.top, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ui::Barrier(main);
    RECT now = WindowRect(main);
    return now.right - now.left == cx && now.bottom - now.top == cy;
}

}  // namespace

TEST(WindowLayout, ControlsFollowTheirEdgesAndTheSpecifiedLayoutIsTheLeast) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        const LONG style = GetWindowLongW(main, GWL_STYLE);
        EXPECT_TRUE(style & WS_THICKFRAME);
        EXPECT_TRUE(style & WS_MAXIMIZEBOX);
        const RECT start = WindowRect(main);
        const int w = start.right - start.left, h = start.bottom - start.top;
        const int ids[] = {IDC_RESULTS, IDC_STATUS, IDC_COUNT, IDC_FIND_SETTING, IDC_FIND, IDC_CHECK_UPDATE, IDOK,
                           IDC_FOLDER, IDC_SUBFOLDER, IDC_SUMMARY_TICKED, IDC_SUMMARY_GROUPS};
        std::map<int, RECT> before;
        for (int id : ids) before[id] = ChildRect(main, id);

        ASSERT_TRUE(Resize(main, w + 200, h + 100));
        auto moved = [&](int id, int dl, int dt, int dr, int db) {
            const RECT a = before[id], b = ChildRect(main, id);
            EXPECT_EQ(a.left + dl, b.left) << id;
            EXPECT_EQ(a.top + dt, b.top) << id;
            EXPECT_EQ(a.right + dr, b.right) << id;
            EXPECT_EQ(a.bottom + db, b.bottom) << id;
        };
        moved(IDC_RESULTS, 0, 0, 200, 100);
        moved(IDC_STATUS, 0, 100, 200, 100);
        moved(IDC_COUNT, 0, 100, 0, 100);
        moved(IDC_SUMMARY_TICKED, 200, 100, 200, 100);
        moved(IDC_FIND_SETTING, 0, 0, 0, 0);
        moved(IDC_FIND, 0, 0, 0, 0);
        moved(IDC_SUMMARY_GROUPS, 0, 0, 0, 0);
        moved(IDC_CHECK_UPDATE, 200, 0, 200, 0);
        moved(IDOK, 200, 0, 200, 0);
        moved(IDC_SUBFOLDER, 200, 0, 200, 0);
        moved(IDC_FOLDER, 0, 0, 200, 0);
        // The results' inner tree fills its control.
        RECT tree{}, results{};
        GetWindowRect(run.tree(), &tree);
        GetWindowRect(GetDlgItem(main, IDC_RESULTS), &results);
        EXPECT_GE(tree.bottom, results.bottom - 30);

        // Never smaller than the specified layout; back at it, everything is back.
        Resize(main, w - 150, h - 80);
        const RECT least = WindowRect(main);
        EXPECT_EQ(w, least.right - least.left);
        EXPECT_EQ(h, least.bottom - least.top);
        for (int id : ids) moved(id, 0, 0, 0, 0);
    });
}

// The maximised state goes the same way (SWindowPlacement's flag); it is not asked
// of the display here: Xvfb without a window manager grants a maximise only now and
// then.
TEST(WindowLayout, ThePlaceLastsAcrossARestart) {
    std::string settings;
    RECT placed{};
    {
        ui::MainWindowRun run;
        run.Run([&](HWND main) {
            const RECT start = WindowRect(main);
            SetWindowPos(main, nullptr, 20, 30, start.right - start.left + 120, start.bottom - start.top + 60,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            ui::Barrier(main);
            placed = WindowRect(main);
        });
        settings = Bytes(run.Folder() + L"\\config\\Setting.ini");
    }
    ASSERT_FALSE(settings.empty());
    ui::MainWindowRun again(settings);
    again.Run([&](HWND main) {
        const RECT now = WindowRect(main);
        EXPECT_EQ(placed.left, now.left);
        EXPECT_EQ(placed.top, now.top);
        EXPECT_EQ(placed.right - placed.left, now.right - now.left);
        EXPECT_EQ(placed.bottom - placed.top, now.bottom - now.top);
        EXPECT_FALSE(IsZoomed(main));
        // The results took the extra room at once.
        RECT results{};
        GetWindowRect(GetDlgItem(main, IDC_RESULTS), &results);
        EXPECT_GT(results.right, now.right - 40);
    });
}

TEST(WindowLayout, APlaceOnAScreenThatIsGoneOrABrokenOneGivesTheDefault) {
    RECT fresh{};
    {
        ui::MainWindowRun run;
        run.Run([&](HWND main) { fresh = WindowRect(main); });
    }
    for (const char* kept : {"20000,20000,21000,20700,0", "10,10,abc", "100,100,90,90,1"}) {
        ui::MainWindowRun run(std::string("[TWINSEEK]\r\nWindowPlacement=") + kept + "\r\n");
        run.Run([&](HWND main) {
            const RECT now = WindowRect(main);
            EXPECT_EQ(fresh.left, now.left) << kept;
            EXPECT_EQ(fresh.top, now.top) << kept;
            EXPECT_EQ(fresh.right, now.right) << kept;
            EXPECT_FALSE(IsZoomed(main)) << kept;
        });
    }
}

TEST(WindowLayout, TheManifestNamesDpiAwarenessAndTheSupportedSystems) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(nullptr, found);
    const char* data = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    ASSERT_NE(nullptr, data);
    const std::string manifest(data, SizeofResource(nullptr, found));
    for (const char* id : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(std::string::npos, manifest.find(std::string("<supportedOS Id=\"") + id + "\"/>")) << id;
    EXPECT_NE(std::string::npos, manifest.find(">PerMonitorV2, System</dpiAwareness>"));
    EXPECT_NE(std::string::npos, manifest.find(">true</dpiAware>"));
    EXPECT_NE(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
}

TEST(WindowLayout, AMoveToAScreenOfAnotherDpiRescalesTheResultsLengths) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CColumnTreeCtrl& results = run.dlg.ResultTree;
        const int widths[] = {110, 195, 230, 80, 135, 115};
        const RECT start = WindowRect(main);
        // As the system sends it on a move to a screen at 150 %, with its suggestion.
        RECT suggested{start.left - 50, start.top - 40, start.right + 50, start.bottom + 40};
        SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(widths[i] * 1.5, results.GetColumnWidth(i), 1) << i;
        const RECT now = WindowRect(main);
        EXPECT_EQ(suggested.right - suggested.left, now.right - now.left);
        EXPECT_EQ(suggested.bottom - suggested.top, now.bottom - now.top);
        // And back.
        SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&start));
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(widths[i], results.GetColumnWidth(i), 1) << i;
    });
}
