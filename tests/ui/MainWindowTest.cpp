#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/TwinseekDlg.h"
#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "tests/TempFolder.h"
#include "tests/ui/UiDriver.h"
#include "view/ResultText.h"
#include "win/ProcessExit.h"

namespace {

std::atomic<int> g_endCalls{0};
void RecordEnd(int) { ++g_endCalls; }

const wchar_t kCaption[] = L"Kestrelsoft-双生搜寻V1.10-20121012";

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        SetProgramDirOverride(dir.Path());
        SetEndProcessHook(RecordEnd);
        g_endCalls = 0;
    }
    void TearDown() override {
        SetEndProcessHook(nullptr);
        SetProgramDirOverride(L"");
    }
    // Opens the main window, runs `steps` against it, then closes it.
    void Run(const std::function<void(HWND)>& steps) {
        ui::RunModal([&] { dlg.DoModal(); },
                     [&] {
                         HWND main = ui::WaitForTopWindow(kCaption);
                         ASSERT_NE(nullptr, main);
                         steps(main);
                         if (IsWindow(main) && IsWindowVisible(main)) PostMessageW(main, WM_CLOSE, 0, 0);
                     });
    }

    TempFolder dir;
    CTwinseekDlg dlg;
};

TEST_F(MainWindow, ShowsEveryControlText) {
    Run([](HWND main) {
        EXPECT_EQ(kCaption, ui::Text(main));
        const std::pair<int, const wchar_t*> texts[] = {
            {IDC_SUBFOLDER, L"搜索此文件夹的子文件夹"}, {IDOK, L"加入文件夹"},
            {IDC_FIND_SETTING, L"查找设置"}, {IDC_DELETE, L"删除文件"}, {IDC_MOVE, L"移动文件"},
            {IDC_COMPARE, L"比较文件"}, {IDC_EXPAND_ALL, L"展开所有"}, {IDC_EXPORT, L"导出列表"},
            {IDC_CLEAR_HISTORY, L"清空查找历史"}, {IDC_REFIND, L"重新查找"}, {IDC_FIND, L"开始查找"},
            {IDC_CHECK_UPDATE, L"检查升级"}, {IDC_FOLDER, L""}, {IDC_STATUS, L""}, {IDC_COUNT, L""},
        };
        for (const auto& [id, text] : texts) EXPECT_EQ(text, ui::ItemText(main, id)) << id;
        EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(main, IDC_SUBFOLDER), BM_GETCHECK, 0, 0));
        LONG style = GetWindowLongW(main, GWL_STYLE);
        EXPECT_TRUE(style & WS_MINIMIZEBOX);
        EXPECT_FALSE(style & WS_MAXIMIZEBOX);
        EXPECT_FALSE(style & WS_THICKFRAME);
    });
}

std::vector<std::pair<UINT, std::wstring>> MenuItems(HMENU menu) {
    std::vector<std::pair<UINT, std::wstring>> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW mi{sizeof mi, MIIM_ID | MIIM_STRING | MIIM_FTYPE};
        mi.dwTypeData = text;
        mi.cch = 128;
        GetMenuItemInfoW(menu, i, TRUE, &mi);
        items.emplace_back(mi.fType & MFT_SEPARATOR ? 0 : mi.wID, text);
    }
    return items;
}

TEST_F(MainWindow, MenuBarHoldsEveryCommand) {
    Run([](HWND main) {
        HMENU bar = GetMenu(main);
        ASSERT_NE(nullptr, bar);
        using Items = std::vector<std::pair<UINT, std::wstring>>;
        Items popups;
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            wchar_t t[64] = {};
            GetMenuStringW(bar, i, t, 64, MF_BYPOSITION);
            popups.emplace_back(0, t);
        }
        EXPECT_EQ((Items{{0, L"文件(&F)"}, {0, L"工具(&T)"}, {0, L"选择(&L)"}, {0, L"服务(&S)"}, {0, L"帮助(&H)"}}),
                  popups);
        EXPECT_EQ((Items{{1, L"加入文件夹(&A)"}, {1008, L"删除文件(&D)"}, {1027, L"移动文件(&M)"},
                         {32799, L"比较文件(&C)"}, {32801, L"未能处理的文件(&L)"}, {0, L""}, {32789, L"退出(&E)"}}),
                  MenuItems(GetSubMenu(bar, 0)));
        EXPECT_EQ((Items{{1018, L"文件筛选设置(&T)"}, {1024, L"导出列表(&E)"}, {32810, L"MD5缓存(&M)"}}),
                  MenuItems(GetSubMenu(bar, 1)));
        EXPECT_EQ((Items{{32802, L"每组保留最新的文件"}, {32803, L"每组保留最旧的文件"}, {32804, L"每组保留路径最短的文件"},
                         {0, L""}, {32806, L"取消全部勾选"}, {32807, L"反向勾选"}}),
                  MenuItems(GetSubMenu(bar, 2)));
        EXPECT_EQ((Items{{32800, L"启动&停止查找(S)"}, {1019, L"清空查找历史(&C)"}, {1010, L"重新查找(&R)"}}),
                  MenuItems(GetSubMenu(bar, 3)));
        EXPECT_EQ((Items{{32794, L"关于(&A)"}, {32795, L"帮助(&H)"}}), MenuItems(GetSubMenu(bar, 4)));
    });
}

TEST_F(MainWindow, SystemMenuAboutOpensTheAboutBox) {
    Run([](HWND main) {
        HMENU sys = GetSystemMenu(main, FALSE);
        wchar_t text[64] = {};
        GetMenuStringW(sys, IDM_ABOUTBOX, text, 64, MF_BYCOMMAND);
        EXPECT_STREQ(L"关于(&A)...", text);
        PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        HWND about = ui::WaitForTopWindow(L"关于");
        ASSERT_NE(nullptr, about);
        EXPECT_EQ(L"确定", ui::ItemText(about, IDOK));
        ui::PressButton(about, IDOK);
        EXPECT_TRUE(ui::WaitForClose(about));
        // The menu command opens the same box.
        ui::PostCommand(main, ID_HELP_ABOUT);
        about = ui::WaitForTopWindow(L"关于");
        ASSERT_NE(nullptr, about);
        ui::PressButton(about, IDOK);
        EXPECT_TRUE(ui::WaitForClose(about));
    });
}

TEST_F(MainWindow, ExpandButtonFollowsTheSetting) {
    dir.Write(L"config\\Setting.ini", "[TWINSEEK]\r\nExpandItem=1\r\n");
    Run([](HWND main) { EXPECT_EQ(L"收缩所有", ui::ItemText(main, IDC_EXPAND_ALL)); });
}

TEST_F(MainWindow, CreatesTheConfigFolderAndKeepsAnExistingOne) {
    std::wstring config = dir.Path() + L"\\config";
    Run([&](HWND) {
        DWORD attrs = GetFileAttributesW(config.c_str());
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, attrs);
        EXPECT_TRUE(attrs & FILE_ATTRIBUTE_DIRECTORY);
    });
    std::wstring kept = dir.Write(L"config\\keep.txt", "x");
    CTwinseekDlg second;
    ui::RunModal([&] { second.DoModal(); },
                 [&] {
                     HWND main = ui::WaitForTopWindow(kCaption);
                     ASSERT_NE(nullptr, main);
                     PostMessageW(main, WM_CLOSE, 0, 0);
                 });
    EXPECT_EQ("x", ReadFileBytes(kept));
}

TEST_F(MainWindow, CloseSetsTheFlagsAndEndsThroughTheSeam) {
    Run([](HWND main) { PostMessageW(main, WM_CLOSE, 0, 0); });
    EXPECT_EQ(1, g_endCalls.load());
    EXPECT_EQ(1, dlg.ClosingFlag.load());
    EXPECT_EQ(FIND_STOP, dlg.FindFlags.load());
}

TEST_F(MainWindow, EscapeEndsLikeClose) {
    Run([](HWND main) { ui::PostCommand(main, IDCANCEL); });
    EXPECT_EQ(1, g_endCalls.load());
    EXPECT_EQ(1, dlg.ClosingFlag.load());
    EXPECT_EQ(FIND_STOP, dlg.FindFlags.load());
}

TEST_F(MainWindow, ExitCommandEndsLikeClose) {
    Run([](HWND main) { ui::PostCommand(main, ID_FILE_EXIT); });
    EXPECT_EQ(1, g_endCalls.load());
    EXPECT_EQ(1, dlg.ClosingFlag.load());
}

}  // namespace

TEST_F(MainWindow, TheDigestCacheShowsItsSizeAndPlaceAndIsClearedOnYes) {
    Run([this](HWND main) {
        CDigestStore& store = dlg.FileInfoMap.Stored;
        store.Store({3, 4}, {10, 10000000}, 900000000, L"0123456789abcdef0123456789abcdef");
        ASSERT_TRUE(store.Save());
        const std::wstring size = SizeText(store.FileBytes());
        auto text = [&](unsigned n, const std::wstring& bytes) {
            return L"MD5缓存：" + std::to_wstring(n) + L"个文件，" + bytes + L"\r\n位置：" + store.Path() +
                   L"\r\n\r\n要清空MD5缓存吗？";
        };
        ui::PostCommand(main, ID_TOOLS_DIGEST_CACHE);
        HWND box = ui::WaitForMessageBox(text(1, size));
        ASSERT_NE(nullptr, box);
        ui::PressButton(box, IDNO);
        ASSERT_TRUE(ui::WaitForClose(box));
        EXPECT_EQ(1u, store.Count());
        ui::PostCommand(main, ID_TOOLS_DIGEST_CACHE);
        box = ui::WaitForMessageBox(text(1, size));
        ASSERT_NE(nullptr, box);
        ui::PressButton(box, IDYES);
        ASSERT_TRUE(ui::WaitForClose(box));
        EXPECT_TRUE(ui::WaitUntil([&] { return store.Count() == 0; }));
        // Written before the command returns: the box is gone only after it.
        ui::WaitUntil([&] {
            CDigestStore probe;
            probe.Open(store.Path());
            return probe.Count() == 0;
        });
        CDigestStore reread;
        reread.Open(store.Path());
        EXPECT_EQ(0u, reread.Count());
    });
}
