// Nothing is lost through the delete command in the real main window: a file goes
// only while a kept copy with the same bytes is another file on disk.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "settings/SettingsFile.h"
#include "tests/ui/DeleteDriver.h"
#include "tests/ui/StatusRecorder.h"

// ---- Nothing is lost: a file goes only while a kept copy is another file on disk ----

namespace {

// Searches `folder` with the window's search command until its folder-done text shows,
// then stops.
void SearchAndStop(HWND main, CTwinseekDlg& dlg, ui::StatusRecorder& status, const std::wstring& folder,
                   const std::vector<std::wstring>& lastFolders) {
    const size_t from = status.Size();
    ui::StartSearch(main, folder);
    for (const auto& f : lastFolders) EXPECT_TRUE(status.WaitSaw(L"文件夹搜索完成:" + f, from, 20000));
    ui::StopSearch(main, dlg);
}

}  // namespace

TEST(DeleteSafety, AFolderSearchedAgainUnderAnotherCaseLosesNothing) {
    TempFolder dir;
    const std::wstring photos = dir.MakeDir(L"photos");
    std::vector<std::wstring> pictures;
    for (int i = 0; i < 3; ++i) pictures.push_back(dir.Write(L"photos\\p" + std::to_wstring(i) + L".jpg", std::string(i + 1, 'p')));
    ui::MainWindowRun run("[TWINSEEK]\r\nFindMD5File=1\r\nHowToDel=0\r\nDelDirect=1\r\n");
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        ui::StatusRecorder status(main);
        SearchAndStop(main, dlg, status, photos, {photos});
        SearchAndStop(main, dlg, status, dir / L"PHOTOS", {dir / L"PHOTOS"});
        // No picture is a duplicate of itself.
        EXPECT_TRUE(Roots(run.tree()).empty());
        if (!Roots(run.tree()).empty()) DeletePass(main, dlg, {0, 1});
        for (const auto& p : pictures) EXPECT_TRUE(Exists(p));
    });
}

TEST(DeleteSafety, AFolderLinkAndItsTargetAreOneFolder) {
    TempFolder dir;
    const std::wstring thesis = dir.Write(L"real\\thesis.doc", "the only copy");
    ASSERT_TRUE(TempFolder::MakeFolderLink(dir.Path(), L"alias", L"real"));
    ui::MainWindowRun run("[TWINSEEK]\r\nHowToDel=0\r\nDelDirect=1\r\n");
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        ui::StatusRecorder status(main);
        SearchAndStop(main, dlg, status, dir.Path(), {dir / L"alias", dir / L"real"});
        EXPECT_TRUE(Roots(run.tree()).empty());
        if (!Roots(run.tree()).empty()) DeletePass(main, dlg, {0, 1});
        EXPECT_EQ("the only copy", ReadFileBytes(thesis));
    });
}

TEST(DeleteSafety, OneFileUnderTwoNamesIsNeverItsOwnCopy) {
    // Results that hold one file twice (as an older search could leave them): the
    // pass itself tells the names apart by the file's identity.
    TempFolder dir;
    const std::wstring photo = dir.Write(L"photos\\p.jpg", "picture");
    const std::wstring thesis = dir.Write(L"real\\thesis.doc", "thesis");
    ASSERT_TRUE(TempFolder::MakeFolderLink(dir.Path(), L"alias", L"real"));
    for (int checked = 0; checked < 2; ++checked) {
        ui::MainWindowRun run;
        run.Run([&](HWND main) {
            CTwinseekDlg& dlg = run.dlg;
            HWND tree = run.tree();
            for (const auto& p : {photo, dir / L"PHOTOS\\p.jpg", dir / L"alias\\thesis.doc", thesis})
                ui::AddFound(dlg, OnDisk(p));
            ASSERT_EQ(2u, Roots(tree).size());
            // Checked: the second name of each is ticked, the first is kept.
            if (checked)
                for (HTREEITEM g : Roots(tree)) ui::Click(main, tree, ui::CheckBoxPoint(tree, Children(tree, g).at(1)));
            EXPECT_EQ(L"删除完成，2个文件未能删除", DeletePass(main, dlg, {checked, 1}));
            EXPECT_EQ("picture", ReadFileBytes(photo));
            EXPECT_EQ("thesis", ReadFileBytes(thesis));
            for (HTREEITEM g : Roots(tree)) EXPECT_EQ(checked ? 2u : 1u, Children(tree, g).size());
        });
    }
}

TEST(DeleteSafety, AChangedFileAndTheCopiesOfAVanishedFirstFileStay) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        dlg.FileInfoMap.SetCriteria(2);
        auto edited = Group(dir, dlg, L"edited.txt", 2);
        auto gone = Group(dir, dlg, L"gone.txt", 3);
        auto fine = Group(dir, dlg, L"fine.txt", 2);
        // Since the search: the second file was edited, the first file of a group vanished
        // (the copies that are left stay as they are, whatever a later one could keep).
        dir.Write(L"b\\edited.txt", "edited since");
        ASSERT_TRUE(DeleteFileW(gone[0].c_str()));

        EXPECT_EQ(L"删除完成，3个文件未能删除", DeletePass(main, dlg, {0, 1}));
        EXPECT_EQ("edited since", ReadFileBytes(edited[1]));
        EXPECT_TRUE(Exists(gone[1]));
        EXPECT_TRUE(Exists(gone[2]));
        EXPECT_TRUE(Exists(fine[0]));
        EXPECT_FALSE(Exists(fine[1]));
        // The files that stayed are still shown.
        auto groups = Roots(tree);
        ASSERT_EQ(3u, groups.size());
        EXPECT_EQ(1u, Children(tree, groups[0]).size());
        EXPECT_EQ(2u, Children(tree, groups[1]).size());
        EXPECT_EQ(0u, Children(tree, groups[2]).size());

        // Every copy ticked: the user chose them all, and they go.
        for (HTREEITEM row : Children(tree, groups[1])) ui::Click(main, tree, ui::CheckBoxPoint(tree, row));
        Options whole{1, 1};
        whole.wholeGroups = 1;
        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, whole));
        EXPECT_FALSE(Exists(gone[1]));
        EXPECT_FALSE(Exists(gone[2]));
    });
}

TEST(DeleteSafety, ANameEndingInADotIsDeletedAndNotItsNamesake) {
    TempFolder dir;
    const std::wstring kept = dir / L"x\\a.", doomed = dir / L"y\\a.";
    const std::wstring namesake = dir.Write(L"y\\a", "another file");
    dir.MakeDir(L"x");
    if (!TempFolder::WriteExact(kept, "dotted") || !TempFolder::WriteExact(doomed, "dotted"))
        GTEST_SKIP() << "no names ending in a dot here";
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        ui::AddFound(dlg, ui::FoundRecord(kept));
        ui::AddFound(dlg, ui::FoundRecord(doomed));
        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, {0, 1}));
        EXPECT_FALSE(Exists(doomed));
        EXPECT_TRUE(Exists(kept));
        EXPECT_EQ("another file", ReadFileBytes(namesake));
    });
}

TEST(DeleteSafety, TheEmptyFolderPassLeavesFolderLinks) {
    TempFolder dir;
    dir.MakeDir(L"target");
    ASSERT_TRUE(TempFolder::MakeFolderLink(dir.Path(), L"link", L"target"));
    const std::wstring empty = dir.MakeDir(L"empty");
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        Group(dir, dlg, L"dup.txt", 2);
        dlg.FileInfoMap.Folders.AddFolder(dir / L"link", true);
        dlg.FileInfoMap.Folders.AddFolder(empty, true);
        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, {0, 1, 0, 1}));
        // The real empty folder went; the link and its (empty) target stay.
        EXPECT_FALSE(Exists(empty));
        const DWORD attributes = GetFileAttributesW((dir / L"link").c_str());
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes);
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        EXPECT_TRUE(Exists(dir / L"target"));
    });
}

TEST(DeleteSafetyTrueCopy, TwoDifferentReadmesBothStayAndTheListSaysWhy) {
    TempFolder dir;
    ui::MainWindowRun run;   // default settings: names decide, the content check is on
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        const std::wstring first = dir.Write(L"one\\README.txt", "project one");
        const std::wstring second = dir.Write(L"two\\README.txt", "project two");
        for (const auto& p : {first, second}) ui::AddFound(dlg, OnDisk(p));

        HWND dialog = OpenDialog(main);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ(L"只删除与保留文件内容相同的文件", ui::ItemText(dialog, IDC_DEL_SAME_CONTENT));
        EXPECT_TRUE(ui::Ticked(dialog, IDC_DEL_SAME_CONTENT));
        ui::PressButton(dialog, IDCANCEL);
        ASSERT_TRUE(ui::WaitForClose(dialog));

        EXPECT_EQ(L"删除完成，1个文件未能删除", DeletePass(main, dlg, {0, 1}));
        EXPECT_EQ("project one", ReadFileBytes(first));
        EXPECT_EQ("project two", ReadFileBytes(second));
        // One step away: the list of the files left, with why.
        ui::PostCommand(main, ID_FILE_LEFT_FILES);
        HWND list = ui::WaitForTopWindow(L"未能处理的文件");
        ASSERT_NE(nullptr, list);
        HWND rows = GetDlgItem(list, IDC_LEFT_LIST);
        EXPECT_EQ((std::vector<std::wstring>{second}), ui::ListColumn(rows, 0));
        EXPECT_EQ((std::vector<std::wstring>{L"内容与保留的文件不同"}), ui::ListColumn(rows, 1));
        ui::PressButton(list, IDOK);
        ASSERT_TRUE(ui::WaitForClose(list));

        // Unticked, the name decides as it always did; the choice is saved.
        const std::wstring third = dir.Write(L"three\\notes.txt", "three");
        const std::wstring fourth = dir.Write(L"four\\notes.txt", "four");
        for (const auto& p : {third, fourth}) ui::AddFound(dlg, OnDisk(p));
        Options o{0, 1};
        o.sameContent = 0;
        EXPECT_EQ(L"删除完成", DeletePass(main, dlg, o));
        EXPECT_TRUE(Exists(third));
        EXPECT_FALSE(Exists(fourth));
        EXPECT_EQ(0, ReadSettingInt(L"DelSameContent", 1));
        // Nothing left this time.
        ui::PostCommand(main, ID_FILE_LEFT_FILES);
        EXPECT_TRUE(ui::AnswerMessageBox(L"上次删除或移动没有留下未能处理的文件。"));
    });
}

TEST(DeleteSafetyTrueCopy, AGroupTickedWholeIsAskedAboutAndNoLeavesEverything) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        CTwinseekDlg& dlg = run.dlg;
        HWND tree = run.tree();
        auto whole = Group(dir, dlg, L"whole.txt", 2);
        auto part = Group(dir, dlg, L"part.txt", 2);
        // One click on the group's own box ticks every file of it.
        ui::Click(main, tree, ui::CheckBoxPoint(tree, Roots(tree)[0]));
        ui::Click(main, tree, ui::CheckBoxPoint(tree, Children(tree, Roots(tree)[1])[1]));
        const auto before = ui::AllRows(tree);

        HWND dialog = OpenDialog(main);
        ASSERT_NE(nullptr, dialog);
        Choose(dialog, {1, 1});
        ui::PressButton(dialog, IDOK);
        ASSERT_TRUE(ui::WaitForClose(dialog));
        ASSERT_TRUE(ui::AnswerMessageBox(kWarning, IDYES));
        HWND question = ui::WaitForMessageBox(WholeGroupsQuestion(1));
        ASSERT_NE(nullptr, question);
        EXPECT_EQ(L"删除警告", ui::Text(question));
        // No is the default button: Enter keeps the files.
        EXPECT_TRUE(GetWindowLongPtrW(GetDlgItem(question, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON);
        ui::PressButton(question, IDNO);
        ASSERT_TRUE(ui::WaitForClose(question));
        ui::Barrier(main);
        EXPECT_FALSE(dlg.FilePassRunning);
        for (const auto& p : whole) EXPECT_TRUE(Exists(p));
        for (const auto& p : part) EXPECT_TRUE(Exists(p));
        EXPECT_EQ(before, ui::AllRows(tree));
    });
}
