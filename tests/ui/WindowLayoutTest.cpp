// The main window's layout when its size changes (on a move to a screen of another
// DPI, the frame being fixed): the controls follow their edges.
#include <gtest/gtest.h>
#include <windows.h>

#include "res/resource.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/UiDriver.h"

namespace {

RECT WindowRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

bool Resize(HWND main, int cx, int cy) {
    RECT r = WindowRect(main);
    SetWindowPos(main, nullptr, r.left, r.top, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    ui::Barrier(main);
    RECT now = WindowRect(main);
    return now.right - now.left == cx && now.bottom - now.top == cy;
}

}  // namespace

TEST(WindowLayout, ControlsFollowTheirEdgesWhenTheSizeChanges) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        const RECT start = WindowRect(main);
        const int w = start.right - start.left, h = start.bottom - start.top;
        const int ids[] = {IDC_RESULTS, IDC_STATUS, IDC_COUNT, IDC_FIND_SETTING, IDC_FIND, IDC_CHECK_UPDATE, IDOK,
                           IDC_FOLDER, IDC_SUBFOLDER, IDC_SUMMARY_TICKED, IDC_SUMMARY_GROUPS};
        std::map<int, RECT> before;
        for (int id : ids) before[id] = ui::ChildRect(main, id);

        ASSERT_TRUE(Resize(main, w + 200, h + 100));
        auto moved = [&](int id, int dl, int dt, int dr, int db) {
            const RECT a = before[id], b = ui::ChildRect(main, id);
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

        // Back at the specified size, everything is back in its place.
        ASSERT_TRUE(Resize(main, w, h));
        for (int id : ids) moved(id, 0, 0, 0, 0);
    });
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
