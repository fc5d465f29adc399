// Choosing what goes through the real window: a selection rule before a delete,
// protected folders through the row menu, and the figures of what is at stake.
#include <gtest/gtest.h>
#include <windows.h>


#include "tests/ui/DeleteDriver.h"
#include "view/ResultText.h"

namespace {

// A file of `bytes` bytes written `daysAgo` days ago, found as the scan finds it.
std::wstring Found(const TempFolder& dir, CTwinseekDlg& dlg, const std::wstring& relative, size_t bytes, int daysAgo) {
    const std::wstring path = dir.Write(relative, std::string(bytes, 'z'));
    HANDLE h = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
    t.QuadPart -= static_cast<uint64_t>(daysAgo) * 24 * 3600 * 10000000ull;
    FILETIME then{t.LowPart, t.HighPart};
    SetFileTime(h, nullptr, nullptr, &then);
    CloseHandle(h);
    ui::AddFound(dlg, OnDisk(path));
    return path;
}

uint64_t SizeOnDisk(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &d)) return 0;
    return (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow;
}

// The two summary fields as they should read for these groups (paths still on disk
// count) and these ticked paths.
std::pair<std::wstring, std::wstring> Expected(const std::vector<std::vector<std::wstring>>& groups,
                                               const std::vector<std::wstring>& ticked) {
    uint32_t count = 0;
    uint64_t spare = 0, tickedBytes = 0;
    for (const auto& g : groups) {
        uint64_t sum = 0, largest = 0;
        int there = 0;
        for (const auto& p : g) {
            if (!Exists(p)) continue;
            ++there;
            sum += SizeOnDisk(p);
            largest = std::max(largest, SizeOnDisk(p));
        }
        if (there < 2) continue;
        ++count;
        spare += sum - largest;
    }
    for (const auto& p : ticked) tickedBytes += SizeOnDisk(p);
    return {CResultsView::GroupsSummary(count, spare), CResultsView::TickedSummary(ticked.size(), tickedBytes)};
}

bool SummaryReads(HWND main, const std::pair<std::wstring, std::wstring>& want) {
    return ui::WaitUntil([&] {
        return ui::ItemText(main, IDC_SUMMARY_GROUPS) == want.first && ui::ItemText(main, IDC_SUMMARY_TICKED) == want.second;
    });
}


std::vector<std::wstring> PopupTexts(HMENU menu) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t t[128] = {};
        GetMenuStringW(menu, i, t, 128, MF_BYPOSITION);
        texts.push_back(t);
    }
    return texts;
}

}  // namespace

TEST(Selection, KeepTheNewestThenDeleteTheTickedTakesExactlyTheOlderFiles) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        // Three groups: the newest first, in the middle and last in row order.
        std::vector<std::vector<std::wstring>> g = {
            {Found(dir, dlg, L"a\\one.txt", 10, 1), Found(dir, dlg, L"b\\one.txt", 10, 5)},
            {Found(dir, dlg, L"a\\two.txt", 20, 9), Found(dir, dlg, L"b\\two.txt", 20, 2),
             Found(dir, dlg, L"c\\two.txt", 20, 30)},
            {Found(dir, dlg, L"a\\three.txt", 30, 8), Found(dir, dlg, L"b\\three.txt", 30, 7)}};
        ASSERT_EQ(3u, Roots(tree).size());
        EXPECT_TRUE(SummaryReads(main, Expected(g, {})));

        ui::PostCommand(main, ID_SELECT_NEWEST);
        ui::Barrier(main);
        const std::vector<std::wstring> older = {g[0][1], g[1][0], g[1][2], g[2][0]};
        std::vector<std::wstring> ticked;
        for (HTREEITEM group : Roots(tree)) {
            EXPECT_FALSE(ui::Checked(tree, group));
            for (HTREEITEM row : Children(tree, group))
                if (ui::Checked(tree, row)) ticked.push_back(ui::PathOf(tree, row));
        }
        EXPECT_EQ(older, ticked);
        EXPECT_TRUE(SummaryReads(main, Expected(g, older)));

        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, Options{1, 1}));
        for (const auto& p : older) EXPECT_FALSE(Exists(p)) << p;
        for (const auto& p : {g[0][0], g[1][1], g[2][1]}) EXPECT_TRUE(Exists(p)) << p;
        EXPECT_TRUE(SummaryReads(main, Expected(g, {})));
    });
}

TEST(Selection, AProtectedFolderIsKeptByKeepFirstAndLastsAcrossARestart) {
    TempFolder dir;
    std::string settings;
    std::wstring kept;
    {
        ui::MainWindowRun run;
        run.Run([&](HWND main) {
            CTwinseekDlg& dlg = run.dlg;
            HWND tree = run.tree();
            auto files = Group(dir, dlg, L"dup.txt", 3);
            kept = files[1];
            HTREEITEM group = Roots(tree).at(0);
            HTREEITEM second = Children(tree, group).at(1);

            // The row menu offers protection for the row's folder, not its removal.
            ui::RightClick(tree, ui::ColumnPoint(dlg.ResultTree, second, 2));
            HWND menu = ui::WaitForTopWindow(L"", L"#32768");
            ASSERT_NE(nullptr, menu);
            const auto texts = PopupTexts(reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0)));
            EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), L"保护此文件夹"));
            EXPECT_EQ(texts.end(), std::find(texts.begin(), texts.end(), L"取消保护此文件夹"));
            EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), L"勾选此文件夹中的重复文件"));
            PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
            ui::Barrier(main);
            ui::PostCommand(main, ID_LIST_PROTECT);
            ui::Barrier(main);
            EXPECT_TRUE(dlg.ProtectedFolders.Covers(files[1]));
            EXPECT_FALSE(dlg.ProtectedFolders.Covers(files[0]));

            // Its box takes no tick; a click on the group ticks the others only.
            ui::Click(main, tree, ui::CheckBoxPoint(tree, second));
            EXPECT_FALSE(ui::Checked(tree, second));
            ui::Click(main, tree, ui::CheckBoxPoint(tree, group));
            EXPECT_TRUE(ui::Checked(tree, Children(tree, group)[0]));
            EXPECT_FALSE(ui::Checked(tree, second));
            EXPECT_TRUE(ui::Checked(tree, Children(tree, group)[2]));
            EXPECT_FALSE(ui::Checked(tree, group));

            // Keep-first keeps the protected file in place of the first.
            EXPECT_EQ(L"删除完成", DeletePass(main, dlg, Options{0, 1}));
            EXPECT_FALSE(Exists(files[0]));
            EXPECT_TRUE(Exists(files[1]));
            EXPECT_FALSE(Exists(files[2]));
        });
        settings = ReadFileBytes(run.Folder() + L"\\config\\Setting.ini");
    }
    ASSERT_FALSE(settings.empty());
    ui::MainWindowRun again(settings);
    again.Run([&](HWND main) {
        EXPECT_TRUE(again.dlg.ProtectedFolders.Covers(kept));
        // The menu now offers to lift it.
        CTwinseekDlg& dlg = again.dlg;
        auto files = Group(dir, dlg, L"other.txt", 2);
        HWND tree = again.tree();
        HTREEITEM second = Children(tree, Roots(tree).at(0)).at(1);
        dlg.MenuPoint = ui::ToScreen(tree, ui::ColumnPoint(dlg.ResultTree, second, 2));
        EXPECT_TRUE(dlg.ResultsView.RowProtected(second));
        ui::PostCommand(main, ID_LIST_UNPROTECT);
        ui::Barrier(main);
        EXPECT_FALSE(dlg.ProtectedFolders.Covers(files[1]));
        EXPECT_FALSE(dlg.ResultsView.RowProtected(second));
    });
}

TEST(Selection, ARuleReachesGroupsNeverOpenedAndTheirRowsShowItsTicks) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        std::vector<std::vector<std::wstring>> g;
        for (const wchar_t* name : {L"p.txt", L"q.txt"}) {
            g.push_back(Group(dir, dlg, name, 3, false, false));
        }
        ASSERT_TRUE(dlg.ResultsView.GroupRows().HasLate(Roots(tree)[0]));
        // Keep the shallowest: all three sit one folder deep, so the shortest path,
        // then the earliest row, stays.
        ui::PostCommand(main, ID_SELECT_SHALLOWEST);
        ui::Barrier(main);
        EXPECT_TRUE(dlg.ResultsView.GroupRows().HasLate(Roots(tree)[0]));   // still not made
        const std::vector<std::wstring> ticked = {g[0][1], g[0][2], g[1][1], g[1][2]};
        EXPECT_TRUE(SummaryReads(main, Expected(g, ticked)));
        // Opening a group shows the ticks; the other is reached by the delete itself.
        auto rows = Children(tree, Roots(tree)[0]);
        ASSERT_EQ(3u, rows.size());
        EXPECT_FALSE(ui::Checked(tree, rows[0]));
        EXPECT_TRUE(ui::Checked(tree, rows[1]));
        EXPECT_TRUE(ui::Checked(tree, rows[2]));
        EXPECT_TRUE(SummaryReads(main, Expected(g, ticked)));
        // 取消全部勾选 reaches made rows and waiting files alike.
        ui::PostCommand(main, ID_SELECT_NONE);
        ui::Barrier(main);
        EXPECT_TRUE(SummaryReads(main, Expected(g, {})));
        for (HTREEITEM row : rows) EXPECT_FALSE(ui::Checked(tree, row));
        ui::PostCommand(main, ID_SELECT_SHALLOWEST);
        ui::Barrier(main);
        EXPECT_TRUE(SummaryReads(main, Expected(g, ticked)));

        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, Options{1, 1}));
        for (const auto& p : ticked) EXPECT_FALSE(Exists(p)) << p;
        EXPECT_TRUE(Exists(g[0][0]));
        EXPECT_TRUE(Exists(g[1][0]));
        EXPECT_TRUE(SummaryReads(main, Expected(g, {})));
    });
}

TEST(Selection, ABoxTheTreeFlipsAfterTheClickIsPutBackAndAGoneRowIsLeftAlone) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        Group(dir, dlg, L"x.txt", 2);
        HTREEITEM row = Children(tree, Roots(tree).at(0)).at(1);
        ui::Click(main, tree, ui::CheckBoxPoint(tree, row));
        ASSERT_TRUE(ui::Checked(tree, row));
        // As a tree that flips the box once more by itself would leave it.
        TreeView_SetCheckState(tree, row, FALSE);
        PostMessageW(main, WM_TICK_SETTLE, 1, reinterpret_cast<LPARAM>(row));
        ui::Barrier(main);
        EXPECT_TRUE(ui::Checked(tree, row));
        EXPECT_TRUE(SummaryReads(main, {CResultsView::GroupsSummary(1, 4), CResultsView::TickedSummary(1, 4)}));
        // The space key flips the selected box the way a click does: on the group,
        // every file follows.
        HTREEITEM group = Roots(tree).at(0);
        TreeView_SelectItem(tree, group);
        PostMessageW(tree, WM_KEYDOWN, VK_SPACE, 0);
        ui::Barrier(main);
        EXPECT_TRUE(ui::Checked(tree, group));
        for (HTREEITEM r : Children(tree, group)) EXPECT_TRUE(ui::Checked(tree, r));
        EXPECT_TRUE(SummaryReads(main, {CResultsView::GroupsSummary(1, 4), CResultsView::TickedSummary(2, 8)}));
        PostMessageW(tree, WM_KEYDOWN, VK_SPACE, 0);
        ui::Barrier(main);
        EXPECT_FALSE(ui::Checked(tree, group));
        TreeView_SetCheckState(tree, row, TRUE);
        // A row deleted meanwhile: its handle is not touched.
        TreeView_DeleteItem(tree, row);
        PostMessageW(main, WM_TICK_SETTLE, 1, reinterpret_cast<LPARAM>(row));
        ui::Barrier(main);
        EXPECT_EQ(1u, Children(tree, Roots(tree).at(0)).size());
        EXPECT_TRUE(SummaryReads(main, {CResultsView::GroupsSummary(1, 4), CResultsView::TickedSummary(0, 0)}));
    });
}
