#include <winsock2.h>  // before windows.h, for the loopback server
#include "update/UpdateInfoDlg.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <atomic>
#include <functional>

#include "app/TwinseekDlg.h"
#include "res/resource.h"
#include "tests/TempFolder.h"
#include "tests/UpdateTestSupport.h"
#include "tests/ui/UiDriver.h"
#include "win/ProcessExit.h"

using update_test::Descriptor;
using update_test::Entry;
using update_test::LoopbackHttpServer;

namespace {

const wchar_t kNotice[] = L"软件升级通知";
const wchar_t kRunning[] = L"1.10-20121012";

std::atomic<int> g_exitCalls{0};

// Stands in for the process exit: the main window's own close ends its modal loop.
void RecordExit(int) { ++g_exitCalls; }

class ExitHook {
public:
    ExitHook() {
        g_exitCalls = 0;
        SetEndProcessHook(RecordExit);
    }
    ~ExitHook() { SetEndProcessHook(nullptr); }
};

std::string Offering(const std::string& ver, const std::string& address = "https://download.test/twinseek.zip") {
    return Descriptor(Entry("enable=\"true\" apptype=\"twinseek\"", ver,
                            "Faster digests, a tidier results tree and many small fixes in this release.", address,
                            "2012-11-01"));
}

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

std::wstring LinkUrl(HWND dialog) {
    // The link's tooltip is the only top-level tooltip owned by the notice.
    HWND tooltip = nullptr;
    for (HWND h = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); h;
         h = FindWindowExW(nullptr, h, TOOLTIPS_CLASSW, nullptr))
        if (GetWindow(h, GW_OWNER) == dialog) tooltip = h;
    return tooltip ? ui::TooltipText(tooltip, GetDlgItem(dialog, IDC_UPD_LINK)) : L"";
}

void PressCancel(HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }

// Shows the notice and runs `steps` on it from a driver thread; returns what DoModal gave.
INT_PTR RunNotice(CUpdateInfoDlg& notice, const std::function<void(HWND)>& steps) {
    INT_PTR result = 0;
    ui::RunModal([&] { result = notice.DoModal(); },
                 [&] {
                     HWND d = ui::WaitForTopWindow(kNotice);
                     ASSERT_TRUE(d);
                     steps(d);
                 });
    return result;
}

}  // namespace

TEST(UpdateNotice, JustCheckedShowsTheOfferAtOnceWithoutFetching) {
    TempFolder folder;
    LoopbackHttpServer server;
    CUpdateInfo info;
    info.SetAppInfo(kRunning, L"twinseek");
    info.SetDescriptorAddress(server.Url());
    ASSERT_EQ(info.LoadDescriptor(folder.Write(L"updateinfo.xml", Offering("1.11-20121101"))), 1);

    ExitHook hook;
    CUpdateInfoDlg notice(&info, 0);
    INT_PTR result = RunNotice(notice, [&](HWND d) {
        EXPECT_EQ(ui::ItemText(d, IDC_UPD_CURRENT), kRunning);
        EXPECT_EQ(ui::ItemText(d, IDC_UPD_LATEST), L"1.11-20121101");
        EXPECT_EQ(ui::ItemText(d, IDC_UPD_DATE), L"2012-11-01");
        EXPECT_EQ(ui::ItemText(d, IDC_UPD_DESCRIPTION),
                  L"Faster digests, a tidier results \r\ntree and many small fixes in this\r\n release.");
        EXPECT_EQ(ui::ItemText(d, IDC_UPD_LINK), L"点击下载");
        EXPECT_EQ(LinkUrl(d), L"https://download.test/twinseek.zip");
        EXPECT_TRUE(Enabled(d, IDC_UPD_LINK));
        EXPECT_TRUE(Enabled(d, IDOK));
        EXPECT_FALSE(Enabled(d, IDCANCEL));

        // "立即检查更新" re-checks the loaded data without fetching.
        ui::PressButton(d, IDOK);
        EXPECT_TRUE(ui::WaitUntil([&] { return ui::ItemText(d, IDC_UPD_LATEST) == L"1.11-20121101"; }));
        EXPECT_TRUE(ui::WaitUntil([&] { return Enabled(d, IDOK); }));

        ui::PressButton(d, IDC_UPD_EXIT);
        EXPECT_TRUE(ui::WaitUntil([] { return g_exitCalls == 1; }));
        PressCancel(d);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(server.RequestCount(), 0);
}

TEST(UpdateNotice, CheckNowWithNothingNewSaysSoAndCloses) {
    LoopbackHttpServer server;
    server.SetBody(Offering("1.10-20121012"));
    CUpdateInfo info;
    info.SetAppInfo(kRunning, L"twinseek");
    info.SetDescriptorAddress(server.Url());

    CUpdateInfoDlg notice(&info, 1);
    INT_PTR result = RunNotice(notice, [&](HWND d) {
        EXPECT_EQ(ui::ItemText(d, IDC_UPD_CURRENT), kRunning);
        EXPECT_EQ(ui::ItemText(d, IDC_UPD_LATEST), L"");
        EXPECT_FALSE(Enabled(d, IDC_UPD_LINK));
        EXPECT_TRUE(Enabled(d, IDCANCEL));
        EXPECT_EQ(server.RequestCount(), 0);

        ui::PressButton(d, IDOK);
        HWND box = ui::WaitForMessageBox(L"没有可用的更新！");
        ASSERT_TRUE(box);
        EXPECT_EQ(GetWindow(box, GW_OWNER), d);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(ui::WaitForClose(d));
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(server.RequestCount(), 1);
}

TEST(UpdateNotice, CheckNowFetchesAndShowsANewerVersion) {
    LoopbackHttpServer server;
    server.SetBody(Offering("1.11-20121101"));
    CUpdateInfo info;
    info.SetAppInfo(kRunning, L"twinseek");
    info.SetDescriptorAddress(server.Url());

    CUpdateInfoDlg notice(&info, 1);
    RunNotice(notice, [&](HWND d) {
        ui::PressButton(d, IDOK);
        EXPECT_TRUE(ui::WaitUntil([&] { return ui::ItemText(d, IDC_UPD_LATEST) == L"1.11-20121101"; }));
        EXPECT_TRUE(ui::WaitUntil([&] { return Enabled(d, IDOK); }));
        EXPECT_TRUE(Enabled(d, IDC_UPD_LINK));
        EXPECT_FALSE(Enabled(d, IDCANCEL));
        EXPECT_EQ(server.RequestCount(), 1);
        PressCancel(d);
    });
}

TEST(UpdateNotice, ADownloadAddressThatIsNotAWebAddressLeavesTheLinkDisabled) {
    for (const char* address : {"file:///C:/windows/notepad.exe", "C:\\windows\\notepad.exe"}) {
        TempFolder folder;
        CUpdateInfo info;
        info.SetAppInfo(kRunning, L"twinseek");
        info.LoadDescriptor(folder.Write(L"updateinfo.xml", Offering("1.11-20121101", address)));

        CUpdateInfoDlg notice(&info, 0);
        RunNotice(notice, [&](HWND d) {
            EXPECT_EQ(ui::ItemText(d, IDC_UPD_LATEST), L"1.11-20121101");
            EXPECT_FALSE(Enabled(d, IDC_UPD_LINK)) << address;
            PressCancel(d);
        });
    }
}

TEST(UpdateNoticeStartup, TheStartupCheckOpensTheNoticeByItself) {
    TempFolder folder;
    ExitHook hook;
    CTwinseekDlg main;
    main.UpdateInfo.SetDescriptorAddress(folder.Write(L"updateinfo.xml", Offering("1.11-20121101")));
    ui::RunModal([&] { main.DoModal(); },
                 [&] {
                     HWND d = ui::WaitForTopWindow(kNotice, L"#32770", 10000);
                     ASSERT_TRUE(d);
                     EXPECT_EQ(main.UpdateShown, 0);
                     EXPECT_EQ(ui::ItemText(d, IDC_UPD_CURRENT), kRunning);
                     EXPECT_EQ(ui::ItemText(d, IDC_UPD_LATEST), L"1.11-20121101");
                     EXPECT_FALSE(Enabled(d, IDCANCEL));
                     PressCancel(d);
                     ASSERT_TRUE(ui::WaitForClose(d));
                     EXPECT_TRUE(ui::WaitUntil([&] { return main.UpdateShown == 1; }));

                     // A notice opened later shows only the running version until asked.
                     HWND window = main.GetHwnd();
                     PostMessageW(window, WM_COMMAND, IDC_CHECK_UPDATE, 0);
                     HWND again = ui::WaitForTopWindow(kNotice);
                     ASSERT_TRUE(again);
                     EXPECT_EQ(ui::ItemText(again, IDC_UPD_LATEST), L"");
                     EXPECT_TRUE(Enabled(again, IDCANCEL));
                     PressCancel(again);
                     ASSERT_TRUE(ui::WaitForClose(again));
                     PostMessageW(window, WM_CLOSE, 0, 0);
                 });
    EXPECT_EQ(g_exitCalls, 1);
}

TEST(UpdateNoticeStartup, NothingIsShownWhenNoNewerVersionIsOffered) {
    LoopbackHttpServer server;
    server.SetBody(Offering("1.9-20121101"));
    ExitHook hook;
    CTwinseekDlg main;
    main.UpdateInfo.SetDescriptorAddress(server.Url());
    ui::RunModal([&] { main.DoModal(); },
                 [&] {
                     ASSERT_TRUE(ui::WaitUntil([&] { return server.RequestCount() == 1; }, 10000));
                     Sleep(500);
                     EXPECT_EQ(ui::FindTopWindow(kNotice), nullptr);
                     EXPECT_EQ(main.UpdateShown, 1);
                     PostMessageW(main.GetHwnd(), WM_CLOSE, 0, 0);
                 });
}
