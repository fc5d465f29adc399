// The delete command in the real main window, on real files: the results are filled
// from files made here the way the scan fills them, the dialogs are answered as a
// user would, and the disk, the rows and the groups are checked afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "engine/FileDigest.h"
#include "engine/FileStatus.h"
#include "res/resource.h"
#include "settings/DeleteSettingStruct.h"
#include "settings/SettingsFile.h"
#include "tests/FileRecords.h"
#include "tests/TempFolder.h"
#include "tests/WineTrash.h"
#include "tests/ui/DeleteDriver.h"
#include "tests/ui/FoundFiles.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/StatusRecorder.h"
#include "tests/ui/UiDriver.h"

namespace {

TEST(DeleteFiles, EmptyResultsShowTheMessageAndNoDialog) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        ui::PostCommand(main, IDC_DELETE);
        HWND box = ui::WaitForMessageBox(L"没找到相同文件名的文件");
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(nullptr, ui::FindTopWindow(L"删除重复文件"));
        ui::PressButton(box, IDOK);
        EXPECT_TRUE(ui::WaitForClose(box));
        ui::Barrier(main);
        EXPECT_FALSE(run.dlg.FilePassRunning);
    });
}

TEST(DeleteFiles, CancelAndNoDeleteNothingButOkSavesTheOptions) {
    TempFolder dir;
    ui::MainWindowRun run("[TWINSEEK]\r\nHowToDel=0\r\nDelDirect=1\r\nDelReFind=0\r\nDelEmptyDir=1\r\n");
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        auto paths = Group(dir, dlg, L"dup.txt", 2);

        HWND dialog = OpenDialog(main);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(L"批量删除，只保留第一个文件", ui::ItemText(dialog, IDC_DEL_KEEP_FIRST));
        EXPECT_EQ(L"删除选中的文件", ui::ItemText(dialog, IDC_DEL_CHECKED));
        EXPECT_EQ(L"直接删除不放到回收站", ui::ItemText(dialog, IDC_DEL_DIRECT));
        EXPECT_EQ(L"删除后重新搜索", ui::ItemText(dialog, IDC_DEL_REFIND));
        EXPECT_EQ(L"删除所有查到的空文件夹", ui::ItemText(dialog, IDC_DEL_EMPTY_DIR));
        EXPECT_EQ(L"确定", ui::ItemText(dialog, IDOK));
        EXPECT_EQ(L"取消", ui::ItemText(dialog, IDCANCEL));
        // The record as loaded.
        EXPECT_TRUE(ui::Ticked(dialog, IDC_DEL_KEEP_FIRST));
        EXPECT_FALSE(ui::Ticked(dialog, IDC_DEL_CHECKED));
        EXPECT_TRUE(ui::Ticked(dialog, IDC_DEL_DIRECT));
        EXPECT_FALSE(ui::Ticked(dialog, IDC_DEL_REFIND));
        EXPECT_TRUE(ui::Ticked(dialog, IDC_DEL_EMPTY_DIR));

        // Cancel reads nothing back.
        Choose(dialog, {1, 0, 1, 0});
        ui::PressButton(dialog, IDCANCEL);
        ASSERT_TRUE(ui::WaitForClose(dialog));
        ui::Barrier(main);
        EXPECT_EQ(nullptr, ui::FindTopWindow(L"删除警告"));
        EXPECT_EQ(0, dlg.DeleteSetting.HowToDel);
        EXPECT_EQ(1, dlg.DeleteSetting.DelEmptyDir);

        // OK, then No: nothing is deleted, the options are kept and saved.
        Delete(main, {1, 0, 1, 0}, IDNO);
        EXPECT_FALSE(dlg.FilePassRunning);
        for (const auto& p : paths) EXPECT_TRUE(Exists(p));
        EXPECT_EQ(2u, Children(run.tree(), Roots(run.tree()).at(0)).size());
        DeleteSettingStruct saved;
        saved.Load();
        EXPECT_EQ(1, saved.HowToDel);
        EXPECT_EQ(0, saved.DelDirect);
        EXPECT_EQ(1, saved.DelReFind);
        EXPECT_EQ(0, saved.DelEmptyDir);
        EXPECT_EQ(1, dlg.DeleteSetting.HowToDel);
    });
}

TEST(DeleteFilesKeepFirst, GroupOfThreeKeepsTheFirstFileAndTheGroupRow) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        auto dup = Group(dir, dlg, L"dup.txt", 3);
        auto two = Group(dir, dlg, L"two.txt", 2);
        ui::StatusRecorder status(main);

        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, {0, 1}));
        EXPECT_TRUE(Exists(dup[0]));
        EXPECT_FALSE(Exists(dup[1]));
        EXPECT_FALSE(Exists(dup[2]));
        EXPECT_TRUE(Exists(two[0]));
        EXPECT_FALSE(Exists(two[1]));
        // Every file row has gone, the group rows stay with the count of what is left.
        auto groups = Roots(tree);
        ASSERT_EQ(2u, groups.size());
        for (HTREEITEM g : groups) {
            EXPECT_TRUE(Children(tree, g).empty());
            EXPECT_EQ(L"1", Pieces(tree, g)[0]);
        }
        EXPECT_EQ(1, dlg.FileInfoMap.GroupSizeOnDisk(L"dup.txt", dup[0]));
        EXPECT_EQ(0, dlg.ResultsView.GroupRows().ChildCount(groups[0]));
        // Every file is named on the status line, the kept first one too.
        for (const auto& p : dup) EXPECT_GE(status.Find(L"正在删除:" + p), 0);
    });
}

TEST(DeleteFilesKeepFirst, DigestCriterionDeletesAllButTheFirst) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        dlg.FileInfoMap.SetCriteria(4);
        auto dup = Group(dir, dlg, L"dup.txt", 3, true);
        // Counts are taken while the files are there: a deleted file has no digest.
        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, {0, 1}));
        EXPECT_TRUE(Exists(dup[0]));
        EXPECT_FALSE(Exists(dup[1]));
        EXPECT_FALSE(Exists(dup[2]));
        HTREEITEM g = Roots(run.tree()).at(0);
        EXPECT_EQ(L"1", Pieces(run.tree(), g)[0]);
    });
}

TEST(DeleteFilesChecked, NoTicksDeleteNothingAndStillEnd) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        auto dup = Group(dir, dlg, L"dup.txt", 3);
        const auto before = ui::AllRows(tree);

        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, {1, 1}));
        for (const auto& p : dup) EXPECT_TRUE(Exists(p));
        EXPECT_EQ(before, ui::AllRows(tree));
        EXPECT_EQ(L"3", Pieces(tree, Roots(tree).at(0))[0]);
    });
}

TEST(DeleteFilesChecked, TickedRowsGoAndATickedGroupRowGoesWithThem) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        auto all = Group(dir, dlg, L"all.txt", 2);
        auto some = Group(dir, dlg, L"some.txt", 3);
        auto half = Group(dir, dlg, L"half.txt", 2);
        auto groups = Roots(tree);
        ASSERT_EQ(3u, groups.size());
        // all.txt: the group and both files ticked, as a click on the group does.
        ui::Click(main, tree, ui::CheckBoxPoint(tree, groups[0]));
        // some.txt: one file ticked.
        ui::Click(main, tree, ui::CheckBoxPoint(tree, Children(tree, groups[1])[1]));
        // half.txt: the group row ticked while one of its files is not.
        TreeView_SetCheckState(tree, groups[2], TRUE);
        TreeView_SetCheckState(tree, Children(tree, groups[2])[0], TRUE);

        Options o{1, 1};
        o.wholeGroups = 1;
        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, o));
        for (const auto& p : all) EXPECT_FALSE(Exists(p));
        EXPECT_TRUE(Exists(some[0]));
        EXPECT_FALSE(Exists(some[1]));
        EXPECT_TRUE(Exists(some[2]));
        EXPECT_FALSE(Exists(half[0]));
        EXPECT_TRUE(Exists(half[1]));   // its row left with the group row

        groups = Roots(tree);
        ASSERT_EQ(1u, groups.size());
        EXPECT_EQ(L"some.txt", Pieces(tree, groups[0])[1]);
        EXPECT_EQ(L"2", Pieces(tree, groups[0])[0]);
        auto rows = Children(tree, groups[0]);
        ASSERT_EQ(2u, rows.size());
        EXPECT_EQ(some[0], ui::PathOf(tree, rows[0]));
        EXPECT_EQ(some[2], ui::PathOf(tree, rows[1]));
        EXPECT_EQ(1u, dlg.ResultsView.GroupRows().Size());
        // The untouched file of half.txt is still in its group.
        EXPECT_EQ(1, dlg.FileInfoMap.GroupSizeOnDisk(L"half.txt", half[1]));
    });
}

TEST(DeleteFilesRecycle, RecycledFilesAreInTheTrashDeletedOnesAreNot) {
    TempFolder dir;
    const std::wstring trash = WineTrashFiles();
    ASSERT_FALSE(trash.empty());
    const std::wstring recycled = UniqueTrashName(L"recycled"), gone = UniqueTrashName(L"gone");
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        auto r = Group(dir, dlg, recycled, 2);
        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, {0, 0}));
        EXPECT_FALSE(Exists(r[1]));
        EXPECT_TRUE(Exists(trash + recycled)) << "not in the trash";
        EXPECT_TRUE(ReadFileBytes(trash + recycled) == "same");

        auto g = Group(dir, dlg, gone, 2);
        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, {0, 1}));
        EXPECT_FALSE(Exists(g[1]));
        EXPECT_FALSE(Exists(trash + gone));
    });
    EmptyWineTrashOf(trash, recycled);
}

TEST(DeleteFilesFailure, ReadOnlyAndLockedFilesKeepTheirRowsAndAreCounted) {
    TempFolder dir;
    ui::MainWindowRun run;
    HANDLE lock = INVALID_HANDLE_VALUE;
    std::vector<std::wstring> dup;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        dup = Group(dir, dlg, L"dup.txt", 4);
        SetFileAttributesW(dup[1].c_str(), FILE_ATTRIBUTE_READONLY);
        lock = CreateFileW(dup[2].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, lock);

        EXPECT_EQ(L"删除完成，2个文件未能删除", DeletePass(main, dlg, {0, 1}));
        EXPECT_TRUE(Exists(dup[0]));
        EXPECT_TRUE(Exists(dup[1]));
        EXPECT_TRUE(Exists(dup[2]));
        EXPECT_FALSE(Exists(dup[3]));
        HTREEITEM g = Roots(tree).at(0);
        auto rows = Children(tree, g);
        ASSERT_EQ(2u, rows.size());
        EXPECT_EQ(dup[1], ui::PathOf(tree, rows[0]));
        EXPECT_EQ(dup[2], ui::PathOf(tree, rows[1]));
        // The group still holds the first file and the two that stayed, in order.
        EXPECT_EQ(L"3", Pieces(tree, g)[0]);
        SFileInfo first;
        ASSERT_TRUE(dlg.FileInfoMap.GetFirstFile(OnDisk(dup[0]), first));
        EXPECT_EQ(dup[0], first.strPath);
        EXPECT_EQ(3, dlg.FileInfoMap.GroupSizeOnDisk(L"dup.txt", dup[1]));

        // Ticked: the same files fail again and the ticked group row stays for them.
        CloseHandle(lock);
        lock = CreateFileW(dup[2].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ui::Click(main, tree, ui::CheckBoxPoint(tree, g));
        Options whole{1, 1};
        whole.wholeGroups = 1;
        EXPECT_EQ(L"删除完成，2个文件未能删除", DeletePass(main, dlg, whole));
        EXPECT_EQ(1u, Roots(tree).size());
        EXPECT_EQ(2u, Children(tree, g).size());
    });
    if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    if (!dup.empty()) SetFileAttributesW(dup[1].c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(DeleteFilesEmptyFolders, AnEmptiedFolderLeavesTheListOneWithFilesStays) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        auto dup = Group(dir, dlg, L"dup.txt", 2);   // in folders a and b
        dir.Write(L"a\\other.txt", "o");
        const std::wstring a = dir.Path() + L"\\a", b = dir.Path() + L"\\b";
        dlg.FileInfoMap.Folders.AddFolder(a, false);
        dlg.FileInfoMap.Folders.AddFolder(b, false);
        HTREEITEM g = Roots(run.tree()).at(0);
        for (HTREEITEM row : Children(run.tree(), g)) TreeView_SetCheckState(run.tree(), row, TRUE);

        Options o{1, 1, 0, 1};
        o.wholeGroups = 1;
        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, o));
        EXPECT_FALSE(Exists(dup[0]));
        EXPECT_FALSE(Exists(dup[1]));
        EXPECT_TRUE(Exists(a));
        EXPECT_FALSE(Exists(b));
        EXPECT_EQ(std::vector<std::wstring>{a}, dlg.FileInfoMap.Folders.FolderPaths());
    });
}

TEST(DeleteFilesPass, ASecondCommandIsRefusedAndClosingStopsThePass) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        auto dup = Group(dir, dlg, L"dup.txt", 2);
        ui::StatusRecorder status(main);
        {
            // Holding the pass lock as a search step would: the pass waits for it.
            std::lock_guard<std::mutex> step(dlg.PassLock);
            Delete(main, {0, 1});
            EXPECT_TRUE(dlg.FilePassRunning);

            ui::PostCommand(main, IDC_DELETE);
            HWND box = ui::WaitForMessageBox(L"另一个删除或移动操作正在进行，请等它结束后再试。");
            ASSERT_NE(nullptr, box);
            EXPECT_EQ(nullptr, ui::FindTopWindow(L"删除重复文件"));
            ui::PressButton(box, IDOK);
            ASSERT_TRUE(ui::WaitForClose(box));
            // Nor may the rows and groups under the pass be thrown away.
            for (int command : {IDC_REFIND, IDC_CLEAR_HISTORY}) {
                ui::PostCommand(main, command);
                ASSERT_TRUE(ui::AnswerMessageBox(L"另一个删除或移动操作正在进行，请等它结束后再试。"));
            }
            ui::Barrier(main);
            EXPECT_EQ(1u, Roots(run.tree()).size());
            EXPECT_EQ(2, dlg.FileInfoMap.GroupSizeOnDisk(L"dup.txt", dup[0]));
            EXPECT_TRUE(Exists(dup[1]));
            // The window closes meanwhile: the pass stops at its first row.
            dlg.ClosingFlag = 1;
        }
        EXPECT_TRUE(ui::WaitForPassEnd(dlg));
        EXPECT_TRUE(Exists(dup[0]));
        EXPECT_TRUE(Exists(dup[1]));
        EXPECT_EQ(2u, Children(run.tree(), Roots(run.tree()).at(0)).size());
        EXPECT_LT(status.Find(L"删除完成"), 0);
        dlg.ClosingFlag = 0;
    });
}

// With a re-search and the empty-folder pass, the search worker that the re-search
// starts waits until the pass has dropped the emptied folder.
TEST(DeleteFilesPass, ReSearchStartsAfterTheEmptyFolderPass) {
    TempFolder dir;
    const std::wstring root = dir.MakeDir(L"data");
    dir.Write(L"data\\a\\dup.txt", "1");
    dir.Write(L"data\\b\\dup.txt", "1");
    dir.Write(L"data\\a\\keep.txt", "k");
    const std::wstring b = root + L"\\b";
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        {
            ui::StatusRecorder search(main);
            ui::StartSearch(main, root);
            ASSERT_TRUE(search.WaitSaw(L"文件夹搜索完成:" + b));
        }
        ui::PressButton(main, IDC_FIND);
        ASSERT_TRUE(ui::WaitUntil([&] { return !dlg.FindThread.get(); }));
        ASSERT_EQ(1u, Roots(tree).size());

        // For every status text: was folder b listed at that moment?
        std::vector<std::pair<std::wstring, bool>> probed;
        std::mutex seenLock;
        ui::StatusRecorder status(main, [&](const std::wstring& text) {
            auto paths = dlg.FileInfoMap.Folders.FolderPaths();
            bool listed = std::find(paths.begin(), paths.end(), b) != paths.end();
            std::lock_guard<std::mutex> lock(seenLock);
            probed.emplace_back(text, listed);
        });
        HTREEITEM row = Children(tree, Roots(tree).at(0)).at(1);
        ASSERT_EQ(b + L"\\dup.txt", ui::PathOf(tree, row));
        TreeView_SetCheckState(tree, row, TRUE);
        Delete(main, {1, 1, 1, 1});
        ASSERT_TRUE(ui::WaitForPassEnd(dlg));
        ASSERT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + root + L"\\a"));
        EXPECT_FALSE(Exists(b));

        std::vector<std::pair<std::wstring, bool>> seen;
        {
            std::lock_guard<std::mutex> lock(seenLock);
            seen = probed;
        }
        size_t started = seen.size();
        for (size_t i = 0; i < seen.size(); ++i)
            if (seen[i].first == L"查找已经启动") started = std::min(started, i);
        ASSERT_LT(started, seen.size());
        EXPECT_EQ(L"删除完成", seen.at(started - 1).first);
        for (size_t i = started + 1; i < seen.size(); ++i)
            EXPECT_FALSE(seen[i].second) << "the search ran while b was still listed: "
                                         << std::string(seen[i].first.begin(), seen[i].first.end());
        // The re-search found a single dup.txt: no group any more.
        EXPECT_TRUE(Roots(tree).empty());
        EXPECT_EQ(FIND_RUNNING, dlg.FindFlags.load());
        ui::StopSearch(main, dlg);
    });
}

}  // namespace

