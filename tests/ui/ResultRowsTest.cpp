// The result rows in the real main window: the row operations are called from the
// driver thread, as the search worker calls them, and the user's clicks and
// commands are posted to the window.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <mutex>
#include <vector>

#include "res/resource.h"
#include "tests/ui/FoundFiles.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/UiDriver.h"
#include "app/ResultCommands.h"

namespace {

using ui::Children;
using ui::Pieces;
using ui::Roots;
using Texts = std::vector<std::wstring>;

SFileInfo File(const std::wstring& folder, const std::wstring& name, uint64_t size,
               const std::wstring& time = L"2012-10-14 09:05:03") {
    SFileInfo f;
    f.strName = name;
    f.strPath = folder + L"\\" + name;
    f.strTime = time;
    f.nSize = size;
    return f;
}

struct Opened {
    HWND owner;
    std::wstring target;
    int show;
};
std::mutex g_openedLock;
std::vector<Opened> g_opened;
INT_PTR RecordOpen(HWND owner, const std::wstring& target, int show) {
    std::lock_guard<std::mutex> lock(g_openedLock);
    g_opened.push_back({owner, target, show});
    return 42;
}
std::vector<Opened> OpenedSoFar() {
    std::lock_guard<std::mutex> lock(g_openedLock);
    return g_opened;
}

class ResultRows : public ::testing::Test {
protected:
    void SetUp() override {
        SetResultsShellOpen(RecordOpen);
        std::lock_guard<std::mutex> lock(g_openedLock);
        g_opened.clear();
    }
    void TearDown() override { SetResultsShellOpen(nullptr); }
};

TEST_F(ResultRows, TreeHasSixCentredHeadingsAndCheckBoxes) {
    ui::MainWindowRun run;
    run.Run([&](HWND) {
        HWND header = run.dlg.ResultTree.GetHeaderCtrl();
        ASSERT_EQ(6, Header_GetItemCount(header));
        const std::pair<const wchar_t*, int> expected[] = {
            {L"文件重复数量", 110}, {L"文件名称", 195}, {L"文件所在路径", 230},
            {L"文件大小", 80},     {L"文件修改时间", 135}, {L"文件唯一标识", 115},
        };
        for (int i = 0; i < 6; ++i) {
            wchar_t text[64] = {};
            HDITEMW hi{};
            hi.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
            hi.pszText = text;
            hi.cchTextMax = 64;
            Header_GetItem(header, i, &hi);
            EXPECT_STREQ(expected[i].first, text);
            EXPECT_EQ(expected[i].second, hi.cxy);
            EXPECT_EQ(HDF_CENTER, hi.fmt & HDF_JUSTIFYMASK);
        }
        LONG_PTR style = GetWindowLongPtrW(run.tree(), GWL_STYLE);
        EXPECT_EQ(0x1107, style & 0x1107);
        EXPECT_NE(nullptr, TreeView_GetImageList(run.tree(), TVSIL_NORMAL));
        EXPECT_FALSE(IsWindowVisible(run.dlg.ResultTree.GetScrollBar()));   // 865 pixels fit
    });
}

TEST_F(ResultRows, GroupsGrowAndSameNamedGroupsStayTogether) {
    ui::MainWindowRun run("[TWINSEEK]\r\nFindSizeFile=1\r\n");
    run.Run([&](HWND) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        dlg.FileInfoMap.SetCriteria(dlg.FindSetting.CriteriaBits());
        ASSERT_EQ(1, dlg.FindSetting.FindSizeFile);

        ui::AddFound(dlg, File(L"C:\\one", L"a.txt", 10), false);
        EXPECT_TRUE(Roots(tree).empty());   // one file is no group yet
        ui::AddFound(dlg, File(L"C:\\two", L"a.txt", 10), false);
        ASSERT_EQ(1u, Roots(tree).size());
        HTREEITEM a = Roots(tree)[0];
        EXPECT_EQ((Texts{L"2", L"a.txt", L"C:\\one\\a.txt", L"10Byte", L"2012-10-14 09:05:03", L""}),
                  Pieces(tree, a));
        ASSERT_EQ(2u, Children(tree, a).size());
        EXPECT_EQ((Texts{L"1", L"a.txt", L"C:\\one\\a.txt", L"10Byte", L"2012-10-14 09:05:03", L""}),
                  Pieces(tree, Children(tree, a)[0]));
        EXPECT_EQ(L"2", Pieces(tree, Children(tree, a)[1])[0]);
        EXPECT_EQ(L"C:\\two\\a.txt", Pieces(tree, Children(tree, a)[1])[2]);

        ui::AddFound(dlg, File(L"C:\\three", L"a.txt", 10), false);
        EXPECT_EQ(L"3", Pieces(tree, a)[0]);
        ASSERT_EQ(3u, Children(tree, a).size());
        EXPECT_EQ(L"3", Pieces(tree, Children(tree, a)[2])[0]);
        EXPECT_EQ(L"C:\\three\\a.txt", Pieces(tree, Children(tree, a)[2])[2]);

        ui::AddFound(dlg, File(L"C:\\one", L"b.txt", 2048), false);
        ui::AddFound(dlg, File(L"C:\\two", L"b.txt", 2048), false);
        // Another a.txt group (another size): right after the older a.txt, not last.
        ui::AddFound(dlg, File(L"C:\\one", L"a.txt", 1536), false);
        ui::AddFound(dlg, File(L"C:\\four", L"a.txt", 1536), false);
        auto roots = Roots(tree);
        ASSERT_EQ(3u, roots.size());
        EXPECT_EQ(a, roots[0]);
        EXPECT_EQ(L"1.500K", Pieces(tree, roots[1])[3]);
        EXPECT_EQ(L"b.txt", Pieces(tree, roots[2])[1]);

        // A file of the second a.txt group passes over the first, whose size differs.
        ui::AddFound(dlg, File(L"C:\\five", L"a.txt", 1536), false);
        EXPECT_EQ(3u, Children(tree, roots[0]).size());
        ASSERT_EQ(3u, Children(tree, roots[1]).size());
        EXPECT_EQ(L"3", Pieces(tree, roots[1])[0]);
        EXPECT_EQ(L"C:\\five\\a.txt", Pieces(tree, Children(tree, roots[1])[2])[2]);

        // No group row shows this first file: nothing is added.
        EXPECT_EQ(nullptr, dlg.AddFileToGroup(File(L"C:\\x", L"c.txt", 1), File(L"C:\\y", L"c.txt", 1)));
        EXPECT_EQ(3u, Roots(tree).size());

        // Rows deleted behind the row operations' back leave the index as well.
        TreeView_DeleteItem(tree, roots[0]);
        ui::AddFound(dlg, File(L"C:\\six", L"a.txt", 1536), false);
        ASSERT_EQ(2u, Roots(tree).size());
        EXPECT_EQ(4u, Children(tree, Roots(tree)[0]).size());
    });
}

TEST_F(ResultRows, CheckBoxesOfGroupAndFilesFollowEachOther) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        for (const wchar_t* folder : {L"C:\\a", L"C:\\b", L"C:\\c"}) ui::AddFound(dlg, File(folder, L"x.doc", 5));
        HTREEITEM group = Roots(tree).at(0);
        auto files = Children(tree, group);
        ASSERT_EQ(3u, files.size());
        ASSERT_TRUE(ui::Expanded(tree, group));

        ui::Click(main, tree, ui::CheckBoxPoint(tree, group));
        EXPECT_TRUE(ui::Checked(tree, group));
        for (HTREEITEM f : files) EXPECT_TRUE(ui::Checked(tree, f));

        ui::Click(main, tree, ui::CheckBoxPoint(tree, files[1]));   // untick one file
        EXPECT_FALSE(ui::Checked(tree, files[1]));
        EXPECT_FALSE(ui::Checked(tree, group));
        EXPECT_TRUE(ui::Checked(tree, files[0]));

        ui::Click(main, tree, ui::CheckBoxPoint(tree, files[1]));   // the last unticked file
        EXPECT_TRUE(ui::Checked(tree, files[1]));
        EXPECT_TRUE(ui::Checked(tree, group));

        ui::Click(main, tree, ui::CheckBoxPoint(tree, group));      // untick the group
        EXPECT_FALSE(ui::Checked(tree, group));
        for (HTREEITEM f : files) EXPECT_FALSE(ui::Checked(tree, f));

        ui::Click(main, tree, ui::CheckBoxPoint(tree, files[0]));   // others still unticked
        EXPECT_TRUE(ui::Checked(tree, files[0]));
        EXPECT_FALSE(ui::Checked(tree, group));

        // Clicks on the texts select rows and change no check.
        ui::Click(main, tree, ui::LabelPoint(tree, files[2]));
        EXPECT_EQ(files[2], TreeView_GetSelection(tree));
        ui::Click(main, tree, ui::ColumnPoint(dlg.ResultTree, group, 2));
        EXPECT_EQ(group, TreeView_GetSelection(tree));
        EXPECT_FALSE(ui::Checked(tree, group));
        EXPECT_TRUE(ui::Checked(tree, files[0]));
        EXPECT_FALSE(ui::Checked(tree, files[1]));
        EXPECT_FALSE(ui::Checked(tree, files[2]));
    });
}

TEST_F(ResultRows, MenuCommandsActOnTheRowUnderTheMenuPoint) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        ui::AddFound(dlg, File(L"C:\\docs", L"报告.doc", 5));
        ui::AddFound(dlg, File(L"C:\\copy", L"报告.doc", 5));
        HTREEITEM group = Roots(tree).at(0);
        HTREEITEM second = Children(tree, group).at(1);

        // A right click shows the results menu at the cursor.
        ui::RightClick(tree, ui::ColumnPoint(dlg.ResultTree, second, 4));
        HWND menu = ui::WaitForTopWindow(L"", L"#32768");
        ASSERT_NE(nullptr, menu);
        POINT at = ui::ToScreen(tree, ui::ColumnPoint(dlg.ResultTree, second, 4));
        EXPECT_EQ(at.x, dlg.MenuPoint.x);
        EXPECT_EQ(at.y, dlg.MenuPoint.y);
        // Its first item, "打开文件", opens the file under the point.
        PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        ASSERT_TRUE(ui::WaitUntil([] { return !OpenedSoFar().empty(); }));
        EXPECT_EQ(main, OpenedSoFar()[0].owner);
        EXPECT_EQ(L"C:\\copy\\报告.doc", OpenedSoFar()[0].target);
        EXPECT_EQ(SW_SHOWNORMAL, OpenedSoFar()[0].show);
        EXPECT_EQ(second, TreeView_GetSelection(tree));

        dlg.MenuPoint = ui::ToScreen(tree, ui::ColumnPoint(dlg.ResultTree, second, 0));
        ui::PostCommand(main, ID_LIST_COPY_NAME);
        ui::Barrier(main);
        EXPECT_EQ(L"报告.doc\r\n", ui::ClipboardText());
        ui::PostCommand(main, ID_LIST_COPY_PATH);
        ui::Barrier(main);
        EXPECT_EQ(L"C:\\copy\\报告.doc\r\n", ui::ClipboardText());
        ui::PostCommand(main, ID_LIST_OPEN_FOLDER);
        ui::Barrier(main);
        ASSERT_EQ(2u, OpenedSoFar().size());
        EXPECT_EQ(L"C:\\copy", OpenedSoFar()[1].target);

        // A group row acts for its first file.
        dlg.MenuPoint = ui::ToScreen(tree, ui::ColumnPoint(dlg.ResultTree, group, 3));
        ui::PostCommand(main, ID_LIST_COPY_PATH);
        ui::Barrier(main);
        EXPECT_EQ(L"C:\\docs\\报告.doc\r\n", ui::ClipboardText());

        // Empty space: nothing happens and the selection is cleared.
        RECT client;
        GetClientRect(tree, &client);
        dlg.MenuPoint = ui::ToScreen(tree, {200, client.bottom - 5});
        ui::PostCommand(main, ID_LIST_OPEN_FILE);
        ui::PostCommand(main, ID_LIST_COPY_NAME);
        ui::Barrier(main);
        EXPECT_EQ(2u, OpenedSoFar().size());
        EXPECT_EQ(L"C:\\docs\\报告.doc\r\n", ui::ClipboardText());
        EXPECT_EQ(nullptr, TreeView_GetSelection(tree));
    });
}

TEST_F(ResultRows, DoubleClickOpensOnlyThePathColumn) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        ui::AddFound(dlg, File(L"C:\\p", L"movie.avi", 5));
        ui::AddFound(dlg, File(L"C:\\q", L"movie.avi", 5));
        HTREEITEM file = Children(tree, Roots(tree).at(0)).at(1);
        ui::DoubleClick(main, tree, ui::ColumnPoint(dlg.ResultTree, file, 1));
        EXPECT_TRUE(OpenedSoFar().empty());
        ui::DoubleClick(main, tree, ui::ColumnPoint(dlg.ResultTree, file, 2));
        ASSERT_EQ(1u, OpenedSoFar().size());
        EXPECT_EQ(nullptr, OpenedSoFar()[0].owner);
        EXPECT_EQ(L"C:\\q\\movie.avi", OpenedSoFar()[0].target);
        EXPECT_EQ(SW_SHOW, OpenedSoFar()[0].show);
    });
}

TEST_F(ResultRows, ExpandButtonTogglesAllGroups) {
    ui::MainWindowRun run;   // ExpandItem off
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        for (const wchar_t* name : {L"a.bin", L"b.bin"}) {
            ui::AddFound(dlg, File(L"C:\\1", name, 5), false);
            ui::AddFound(dlg, File(L"C:\\2", name, 5), false);
        }
        auto roots = Roots(tree);
        ASSERT_EQ(2u, roots.size());
        EXPECT_EQ(L"展开所有", ui::ItemText(main, IDC_EXPAND_ALL));
        EXPECT_FALSE(ui::Expanded(tree, roots[0]));

        ui::PressButton(main, IDC_EXPAND_ALL);
        ui::Barrier(main);
        EXPECT_EQ(L"收缩所有", ui::ItemText(main, IDC_EXPAND_ALL));
        for (HTREEITEM r : roots) EXPECT_TRUE(ui::Expanded(tree, r));

        ui::PressButton(main, IDC_EXPAND_ALL);
        ui::Barrier(main);
        EXPECT_EQ(L"展开所有", ui::ItemText(main, IDC_EXPAND_ALL));
        for (HTREEITEM r : roots) EXPECT_FALSE(ui::Expanded(tree, r));
    });
}

TEST_F(ResultRows, ExpandButtonStartsFromTheSettingAtItsFirstPress) {
    ui::MainWindowRun run("[TWINSEEK]\r\nExpandItem=1\r\n");
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        ui::AddFound(dlg, File(L"C:\\1", L"a.bin", 5));
        ui::AddFound(dlg, File(L"C:\\2", L"a.bin", 5));
        HTREEITEM group = Roots(tree).at(0);
        EXPECT_TRUE(ui::Expanded(tree, group));   // rows follow ExpandItem
        EXPECT_EQ(L"收缩所有", ui::ItemText(main, IDC_EXPAND_ALL));
        ui::PressButton(main, IDC_EXPAND_ALL);
        ui::Barrier(main);
        EXPECT_EQ(L"展开所有", ui::ItemText(main, IDC_EXPAND_ALL));
        EXPECT_FALSE(ui::Expanded(tree, group));
    });
}

}  // namespace
