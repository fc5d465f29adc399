// Groups found collapsed make their file rows only when somebody reaches them: what
// the user and the passes see must be the same rows either way.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/DeleteDriver.h"
#include "tests/ui/FoundFiles.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/UiDriver.h"

namespace {

using Rows = std::vector<std::vector<std::wstring>>;

SFileInfo Found(int group, int copy) {
    SFileInfo f;
    f.strName = L"n" + std::to_wstring(group) + L".txt";
    f.strPath = L"C:\\late\\f" + std::to_wstring(copy) + L"\\" + f.strName;
    f.strTime = L"2012-10-14 09:05:03";
    f.nSize = 10 + static_cast<uint64_t>(group);
    return f;
}

// Group g has 2 + g % 3 files. The first two of every group come first, then the
// third ones, then the fourth: groups grow after their rows were made.
std::vector<SFileInfo> FoundInOrder(int groups) {
    std::vector<SFileInfo> files;
    for (int copy = 0; copy < 4; ++copy)
        for (int g = 0; g < groups; ++g)
            if (copy < 2 + g % 3) files.push_back(Found(g, copy));
    return files;
}

// Every row's texts: each group row, then its file rows, in order.
Rows ReadAll(HWND tree) {
    Rows rows;
    for (HTREEITEM g : ui::Roots(tree)) {
        rows.push_back(ui::Pieces(tree, g));
        for (HTREEITEM f : ui::Children(tree, g)) rows.push_back(ui::Pieces(tree, f));
    }
    return rows;
}

// What the tree shows as the row's expand button.
bool HasButton(HWND tree, HTREEITEM row) {
    TVITEMW item{};
    item.mask = TVIF_CHILDREN | TVIF_HANDLE;
    item.hItem = row;
    return TreeView_GetItem(tree, &item) && item.cChildren > 0;
}

size_t MadeRows(HWND tree) { return static_cast<size_t>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)); }

bool WaitForExpandAll(CTwinseekDlg& dlg) {
    return ui::WaitUntil([&] { return !dlg.ResultsView.Expanding(); }, 30000);
}

}  // namespace

TEST(LateRows, SameRowsTextsAndCountsWhicheverWayTheyAreMade) {
    const auto files = FoundInOrder(40);
    Rows eager;
    {
        ui::MainWindowRun run;
        run.Run([&](HWND) {
            for (const SFileInfo& f : files) ui::AddFound(run.dlg, f, true);
            eager = ReadAll(run.tree());
        });
    }
    ASSERT_EQ(40u + files.size(), eager.size());
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        const size_t half = files.size() / 2;
        for (size_t i = 0; i < half; ++i) ui::AddFound(run.dlg, files[i], false);
        // One group opened by the user half-way: its later files come as rows at once.
        const HTREEITEM opened = ui::Roots(tree)[4];   // three files, the third still to come
        ui::Click(main, tree, ui::ExpandButtonPoint(tree, opened));
        EXPECT_TRUE(ui::Expanded(tree, opened));
        for (size_t i = half; i < files.size(); ++i) ui::AddFound(run.dlg, files[i], false);

        // Only the group rows and the opened group's files are made so far, yet the
        // count is that of every row.
        EXPECT_EQ(40u + 3u, MadeRows(tree));
        EXPECT_EQ(eager.size(), run.dlg.ResultsView.RowCount());
        EXPECT_EQ(eager, ReadAll(tree));
        EXPECT_EQ(eager.size(), MadeRows(tree));
        EXPECT_EQ(0u, run.dlg.ResultsView.GroupRows().LateCount());
    });
}

TEST(LateRows, OpeningTickingSelectingAndExpandingAllReachLateRows) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        for (const SFileInfo& f : FoundInOrder(6)) ui::AddFound(run.dlg, f, false);
        auto groups = ui::Roots(tree);
        ASSERT_EQ(6u, groups.size());
        ASSERT_EQ(6u, MadeRows(tree));

        // A click on the expand button shows the files of a group never opened.
        ui::Click(main, tree, ui::ExpandButtonPoint(tree, groups[0]));
        EXPECT_TRUE(ui::Expanded(tree, groups[0]));
        EXPECT_EQ(2u, ui::Children(tree, groups[0]).size());

        // A tick on a closed group's check box ticks its files, made now.
        ui::Click(main, tree, ui::CheckBoxPoint(tree, groups[1]));
        EXPECT_TRUE(ui::Checked(tree, groups[1]));
        const auto ticked = ui::Children(tree, groups[1]);
        ASSERT_EQ(3u, ticked.size());
        for (HTREEITEM f : ticked) EXPECT_TRUE(ui::Checked(tree, f));

        // Expand all opens every group with its files, collapse all closes them.
        ui::PressButton(main, IDC_EXPAND_ALL);
        ASSERT_TRUE(WaitForExpandAll(run.dlg));
        ui::Barrier(main);
        for (HTREEITEM g : groups) {
            EXPECT_TRUE(ui::Expanded(tree, g));
            EXPECT_FALSE(ui::Children(tree, g).empty());
        }
        // A late-made file row can be selected like any other.
        const HTREEITEM last = ui::Children(tree, groups[5]).back();
        ASSERT_TRUE(TreeView_SelectItem(tree, last));
        EXPECT_EQ(last, TreeView_GetSelection(tree));
        EXPECT_EQ(L"C:\\late\\f3\\n5.txt", ui::PathOf(tree, last));

        ui::PressButton(main, IDC_EXPAND_ALL);
        ASSERT_TRUE(WaitForExpandAll(run.dlg));
        ui::Barrier(main);
        for (HTREEITEM g : groups) EXPECT_FALSE(ui::Expanded(tree, g));
    });
}

TEST(LateRows, DeletePassReachesTheFilesOfGroupsNeverOpened) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        const std::vector<std::vector<std::wstring>> groups = {Group(dir, dlg, L"one.txt", 3, false, false),
                                                                Group(dir, dlg, L"two.txt", 3, false, false)};
        ASSERT_EQ(2u, MadeRows(tree));
        for (HTREEITEM g : ui::Roots(tree)) EXPECT_TRUE(HasButton(tree, g));

        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, {0, 1}));
        for (const auto& paths : groups) {
            EXPECT_TRUE(Exists(paths[0]));
            EXPECT_FALSE(Exists(paths[1]));
            EXPECT_FALSE(Exists(paths[2]));
        }
        for (HTREEITEM g : ui::Roots(tree)) {
            EXPECT_TRUE(ui::Children(tree, g).empty());
            EXPECT_EQ(L"1", ui::Pieces(tree, g)[0]);
            // Its files gone, the group row no longer offers to open.
            EXPECT_FALSE(HasButton(tree, g));
        }
    });
}

TEST(LateRows, AGrownGroupsCountReadsTheSameEverywhereAndSurvivesAnEditedLabel) {
    ui::MainWindowRun run;
    run.Run([&](HWND) {
        HWND tree = run.tree();
        for (const SFileInfo& f : FoundInOrder(3)) ui::AddFound(run.dlg, f, false);
        const HTREEITEM grown = ui::Roots(tree)[2];   // four files, its row made at two
        EXPECT_EQ(L"4", ui::Pieces(tree, grown)[0]);

        // A reader with little room gets the label cut as the tree cuts it.
        wchar_t small[3] = {L'x', L'x', L'x'};
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = grown;
        item.pszText = small;
        item.cchTextMax = 3;
        ASSERT_TRUE(TreeView_GetItem(tree, &item));
        EXPECT_EQ(std::wstring(L"4\t"), std::wstring(small));

        // Another column set later keeps the count; a count set later replaces it.
        run.dlg.ResultsView.Tree().SetItemText(grown, 2, L"C:\\elsewhere");
        EXPECT_EQ(L"4", ui::Pieces(tree, grown)[0]);
        EXPECT_EQ(L"C:\\elsewhere", ui::Pieces(tree, grown)[2]);
        run.dlg.ResultsView.Tree().SetItemText(grown, 0, L"3");
        EXPECT_EQ(L"3", ui::Pieces(tree, grown)[0]);
    });
}
