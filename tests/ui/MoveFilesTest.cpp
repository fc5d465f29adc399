// The move command in the real main window: its dialog, and passes on real files.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "settings/SettingsFile.h"
#include "tests/TempFolder.h"
#include "tests/ui/FoundFiles.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/StatusRecorder.h"
#include "tests/ui/UiDriver.h"

namespace {

using ui::Children;
using ui::Roots;

HWND OpenMoveDialog(HWND main) {
    ui::PostCommand(main, IDC_MOVE);
    return ui::WaitForTopWindow(L"移动文件");
}

// Presses OK and answers the message box that refuses it; false when none came.
bool OkRefused(HWND dialog, const std::wstring& text) {
    ui::PressButton(dialog, IDOK);
    return ui::AnswerMessageBox(text);
}

// The options as the user would set them in the dialog.
struct Options {
    int type = 2;
    bool copy = false, overwrite = false;
    std::wstring target;
    bool delEmpty = false;
};

// Runs the move command with these options and waits for the pass's end text.
std::wstring RunMove(HWND main, CTwinseekDlg& dlg, const Options& o) {
    HWND dialog = OpenMoveDialog(main);
    EXPECT_NE(nullptr, dialog);
    if (!dialog) return L"";
    const int radios[] = {IDC_MOVE_CHECKED, IDC_MOVE_KEEP_FIRST, IDC_MOVE_ALL};
    for (int i = 0; i < 3; ++i) ui::SetTick(dialog, radios[i], i == o.type);
    ui::SetTick(dialog, IDC_MOVE_COPY, o.copy);
    ui::SetTick(dialog, IDC_MOVE_OVERWRITE, o.overwrite);
    ui::SetTick(dialog, IDC_MOVE_DEL_EMPTY, o.delEmpty);
    ui::SetItemText(dialog, IDC_MOVE_TARGET, o.target);
    SetWindowTextW(GetDlgItem(main, IDC_STATUS), L"");
    ui::PressButton(dialog, IDOK);
    EXPECT_TRUE(ui::WaitForClose(dialog));
    ui::WaitUntil([&] { return ui::StatusText(main).rfind(L"移动完成", 0) == 0; }, 15000);
    // The end text comes just before the worker lets the next pass begin.
    EXPECT_TRUE(ui::WaitForPassEnd(dlg));
    ui::Barrier(main);
    return ui::StatusText(main);
}

// Files 1\<name> ... n\<name> under the folder, each holding its folder's number,
// found in that order.
std::vector<std::wstring> FoundSameNamed(const TempFolder& dir, CTwinseekDlg& dlg, const std::wstring& name, int n,
                                         bool expand = true) {
    std::vector<std::wstring> out;
    for (int i = 1; i <= n; ++i) {
        out.push_back(dir.Write(std::to_wstring(i) + L"\\" + name, std::to_string(i)));
        ui::AddFound(dlg, ui::FoundRecord(out.back()), expand);
    }
    return out;
}

// The folder picker opened from the move dialog, once its tree has a selection.
HWND WaitForPicker(HWND main, HWND dialog, HWND& tree) {
    return ui::WaitForDialog(
        [&](HWND h) {
            tree = ui::PickerTree(h);
            return tree && TreeView_GetSelection(tree);
        },
        {main, dialog}, 10000);
}

}  // namespace

TEST(MoveFiles, DialogRefusesAMissingTargetAndStoresARootWithoutItsBackslash) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        // No results: no dialog.
        ui::PostCommand(main, IDC_MOVE);
        ASSERT_TRUE(ui::AnswerMessageBox(L"没找到相同文件名的文件"));

        ui::AddFound(run.dlg, dir.Path() + L"\\1\\a.txt");
        ui::AddFound(run.dlg, dir.Path() + L"\\2\\a.txt");
        HWND dialog = OpenMoveDialog(main);
        ASSERT_NE(nullptr, dialog);
        ui::SetItemText(dialog, IDC_MOVE_TARGET, L"");
        EXPECT_TRUE(OkRefused(dialog, L"请选择一个移动目标文件夹"));
        ui::SetItemText(dialog, IDC_MOVE_TARGET, dir.Path() + L"\\nowhere");
        EXPECT_TRUE(OkRefused(dialog, L"目标文件夹不存在！"));
        // A relative folder would land wherever the current folder is.
        ui::SetItemText(dialog, IDC_MOVE_TARGET, L"dups");
        EXPECT_TRUE(OkRefused(dialog, L"请输入完整的目标文件夹路径，例如 D:\\重复文件"));
        ui::SetItemText(dialog, IDC_MOVE_TARGET, dir.Path() + L"\\nowhere");
        // The dialog stays with what was typed.
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(dir.Path() + L"\\nowhere", ui::ItemText(dialog, IDC_MOVE_TARGET));

        ui::SetItemText(dialog, IDC_MOVE_TARGET, L"C:\\");
        ui::PressButton(dialog, IDOK);
        ASSERT_TRUE(ui::WaitForClose(dialog));
        ui::Barrier(main);
        EXPECT_EQ(L"C:", run.dlg.MoveSetting.SavePath);
        EXPECT_EQ(L"C:", ReadSettingString(L"SavePath", L"?"));
    });
}

TEST(MoveFiles, AllWithoutOverwriteLeavesTheSecondFileInPlaceAndShown) {
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        auto a = FoundSameNamed(dir, run.dlg, L"a.txt", 2);
        auto b = FoundSameNamed(dir, run.dlg, L"b.txt", 2);
        ASSERT_EQ(2u, Roots(tree).size());

        EXPECT_EQ(L"移动完成，2个文件未能移动", RunMove(main, run.dlg, {2, false, false, target}));
        // The first of each name arrived; the second is still at its place.
        EXPECT_EQ("1", ReadFileBytes(target + L"\\a.txt"));
        EXPECT_EQ("1", ReadFileBytes(target + L"\\b.txt"));
        EXPECT_FALSE(Exists(a[0]));
        EXPECT_EQ("2", ReadFileBytes(a[1]));
        // Its row and its group record stay; the moved ones are gone from both.
        auto groups = Roots(tree);
        ASSERT_EQ(2u, groups.size());
        for (size_t g = 0; g < 2; ++g) {
            auto rows = Children(tree, groups[g]);
            ASSERT_EQ(1u, rows.size());
            EXPECT_EQ((g == 0 ? a : b)[1], ui::PathOf(tree, rows[0]));
            EXPECT_EQ(L"1", ui::Pieces(tree, groups[g])[0]);
        }
        EXPECT_EQ(1, run.dlg.FileInfoMap.GetGroupSize(ui::FoundRecord(a[1])));
    });
}

TEST(MoveFiles, OverwriteNeverReplacesWhatThePassPutThereNorAKeptFile) {
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        // Two different files of one name: the first arrives, the second stays shown.
        auto a = FoundSameNamed(dir, run.dlg, L"a.txt", 2);
        EXPECT_EQ(L"移动完成，1个文件未能移动", RunMove(main, run.dlg, {2, false, true, target}));
        EXPECT_EQ("1", ReadFileBytes(target + L"\\a.txt"));
        EXPECT_FALSE(Exists(a[0]));
        EXPECT_EQ("2", ReadFileBytes(a[1]));
        ASSERT_EQ(1u, Roots(tree).size());
        EXPECT_EQ(a[1], ui::PathOf(tree, Children(tree, Roots(tree)[0]).at(0)));
    });
    ui::MainWindowRun second;
    second.Run([&](HWND main) {
        // Keep-first into the folder of the kept first file, which has the same name.
        auto b = FoundSameNamed(dir, second.dlg, L"b.txt", 2);
        const std::wstring keptFolder = b[0].substr(0, b[0].rfind(L'\\'));
        EXPECT_EQ(L"移动完成，1个文件未能移动", RunMove(main, second.dlg, {1, false, true, keptFolder}));
        EXPECT_EQ("1", ReadFileBytes(b[0]));
        EXPECT_EQ("2", ReadFileBytes(b[1]));
        // Copies too: the kept file, whose row is gone, is not replaced, while a file
        // of the target that is no result is.
        EXPECT_EQ(L"移动完成，1个文件未能复制", RunMove(main, second.dlg, {2, true, true, keptFolder}));
        EXPECT_EQ("1", ReadFileBytes(b[0]));
        dir.Write(L"target\\b.txt", "stale");
        EXPECT_EQ(L"移动完成", RunMove(main, second.dlg, {2, true, true, target}));
        EXPECT_EQ("2", ReadFileBytes(target + L"\\b.txt"));
    });
}

TEST(MoveFiles, KeepFirstOnAGroupOfThreeMovesTheOtherTwoAndKeepsTheGroupRow) {
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        auto a = FoundSameNamed(dir, run.dlg, L"a.txt", 3);
        ASSERT_EQ(3u, Children(tree, Roots(tree).at(0)).size());
        ui::StatusRecorder status(main);
        // The third one would replace what the pass has just put there: it stays.
        EXPECT_EQ(L"移动完成，1个文件未能移动", RunMove(main, run.dlg, {1, false, true, target}));
        // Every file row is reported, the first one's too.
        EXPECT_EQ((std::vector<std::wstring>{L"", L"正在移动:" + a[0], L"正在移动:" + a[1], L"正在移动:" + a[2],
                                             L"移动完成，1个文件未能移动"}),
                  status.Texts());
        EXPECT_EQ("1", ReadFileBytes(a[0]));
        EXPECT_FALSE(Exists(a[1]));
        EXPECT_EQ("3", ReadFileBytes(a[2]));
        EXPECT_EQ("2", ReadFileBytes(target + L"\\a.txt"));
        ASSERT_EQ(1u, Roots(tree).size());
        ASSERT_EQ(1u, Children(tree, Roots(tree)[0]).size());
        EXPECT_EQ(L"2", ui::Pieces(tree, Roots(tree)[0])[0]);
        EXPECT_EQ(2, run.dlg.FileInfoMap.GetGroupSize(ui::FoundRecord(a[0])));
    });
}

TEST(MoveFiles, CopyModesCopyTheirFilesAndLeaveResultsAlone) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        auto a = FoundSameNamed(dir, run.dlg, L"a.txt", 2);
        auto b = FoundSameNamed(dir, run.dlg, L"b.txt", 3);
        const auto before = ui::AllRows(tree);

        // Ticked only: the second a.txt and the third b.txt.
        const std::wstring t0 = dir.MakeDir(L"t0");
        TreeView_SetCheckState(tree, Children(tree, Roots(tree)[0])[1], TRUE);
        TreeView_SetCheckState(tree, Children(tree, Roots(tree)[1])[2], TRUE);
        EXPECT_EQ(L"移动完成", RunMove(main, run.dlg, {0, true, false, t0}));
        EXPECT_EQ("2", ReadFileBytes(t0 + L"\\a.txt"));
        EXPECT_EQ("3", ReadFileBytes(t0 + L"\\b.txt"));

        // All but the first still copies every file, the first included; without
        // overwrite only the first of a name arrives, and the others are reported.
        const std::wstring t1 = dir.MakeDir(L"t1");
        EXPECT_EQ(L"移动完成，3个文件未能复制", RunMove(main, run.dlg, {1, true, false, t1}));
        EXPECT_EQ("1", ReadFileBytes(t1 + L"\\a.txt"));
        EXPECT_EQ("1", ReadFileBytes(t1 + L"\\b.txt"));

        // All files, replacing: a copy the pass made is not replaced, so the first of
        // each name stays.
        const std::wstring t2 = dir.MakeDir(L"t2");
        EXPECT_EQ(L"移动完成，3个文件未能复制", RunMove(main, run.dlg, {2, true, true, t2}));
        EXPECT_EQ("1", ReadFileBytes(t2 + L"\\a.txt"));
        EXPECT_EQ("1", ReadFileBytes(t2 + L"\\b.txt"));

        for (auto& p : {a[0], a[1], b[0], b[1], b[2]}) EXPECT_TRUE(Exists(p));
        EXPECT_EQ(before, ui::AllRows(tree));
        EXPECT_EQ(3, run.dlg.FileInfoMap.GetGroupSize(ui::FoundRecord(b[0])));
    });
}

TEST(MoveFiles, CheckedMoveTakesTheTickedFilesAndAFullyTickedGroup) {
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        auto a = FoundSameNamed(dir, run.dlg, L"a.txt", 2);
        auto b = FoundSameNamed(dir, run.dlg, L"b.txt", 3);
        HTREEITEM ga = Roots(tree)[0], gb = Roots(tree)[1];
        // Group a ticked as a whole; in b only the third file.
        TreeView_SetCheckState(tree, ga, TRUE);
        TreeView_SetCheckState(tree, Children(tree, ga)[1], TRUE);
        TreeView_SetCheckState(tree, gb, FALSE);
        TreeView_SetCheckState(tree, Children(tree, gb)[2], TRUE);
        const std::wstring a1 = ui::Pieces(tree, Children(tree, ga)[0])[2];
        EXPECT_EQ(L"移动完成", RunMove(main, run.dlg, {0, false, false, target}));
        EXPECT_EQ("2", ReadFileBytes(target + L"\\a.txt"));
        EXPECT_EQ("3", ReadFileBytes(target + L"\\b.txt"));
        EXPECT_TRUE(Exists(a1));
        // The ticked group row went with its unticked file row; b keeps two rows.
        ASSERT_EQ(1u, Roots(tree).size());
        EXPECT_EQ(gb, Roots(tree)[0]);
        EXPECT_EQ(2u, Children(tree, gb).size());
        EXPECT_EQ(L"2", ui::Pieces(tree, gb)[0]);
        EXPECT_EQ(2, run.dlg.FileInfoMap.GetGroupSize(ui::FoundRecord(b[0])));
    });
}

TEST(MoveFiles, TargetTypedAsADriveRootReceivesTheFiles) {
    TempFolder dir;
    // A name of its own, so the drive's root holds no other file of it.
    const std::wstring name = L"twinseek-move-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const std::wstring arrived = L"C:\\" + name;
    DeleteFileW(arrived.c_str());
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        auto files = FoundSameNamed(dir, run.dlg, name, 2);
        EXPECT_EQ(L"移动完成", RunMove(main, run.dlg, {1, false, false, L"C:\\"}));
        EXPECT_EQ(L"C:", run.dlg.MoveSetting.SavePath);
        EXPECT_EQ("2", ReadFileBytes(arrived));
        EXPECT_EQ("1", ReadFileBytes(files[0]));
        EXPECT_FALSE(Exists(files[1]));
    });
    DeleteFileW(arrived.c_str());
}

TEST(MoveFiles, ReplacingMoveCrossesVolumes) {
    // Z: is the root of the host; its memory file system is another volume than the
    // temp folder's.
    const std::wstring shm = L"Z:\\dev\\shm";
    if (GetFileAttributesW(shm.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no second volume";
    // Wine's process ids are small and repeat across checkouts testing at once.
    const std::wstring target = shm + L"\\twinseek-move-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        auto a = FoundSameNamed(dir, run.dlg, L"a.txt", 2);
        // A file of the target that is no result: the option replaces it.
        {
            HANDLE h = CreateFileW((target + L"\\a.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, h);
            CloseHandle(h);
        }
        // Proof that the volumes differ: a move that may not copy is refused.
        const std::wstring probe = dir.Write(L"probe.txt", "p");
        ASSERT_FALSE(MoveFileExW(probe.c_str(), (target + L"\\probe.txt").c_str(), 0));
        EXPECT_EQ(L"移动完成", RunMove(main, run.dlg, {1, false, true, target}));
        EXPECT_EQ("2", ReadFileBytes(target + L"\\a.txt"));
        EXPECT_EQ("1", ReadFileBytes(a[0]));
        EXPECT_FALSE(Exists(a[1]));
    });
    TempFolder::RemoveTree(target);
}

TEST(MoveFiles, CommandIsRefusedWhileAPassRuns) {
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        auto a = FoundSameNamed(dir, run.dlg, L"a.txt", 2);
        // The pass waits for the lock held here, so it is still running below.
        std::unique_lock<std::mutex> hold(run.dlg.PassLock);
        HWND dialog = OpenMoveDialog(main);
        ASSERT_NE(nullptr, dialog);
        ui::SetItemText(dialog, IDC_MOVE_TARGET, target);
        ui::PressButton(dialog, IDOK);
        ASSERT_TRUE(ui::WaitForClose(dialog));
        for (int command : {IDC_MOVE, IDC_DELETE}) {
            ui::PostCommand(main, command);
            ASSERT_TRUE(ui::AnswerMessageBox(L"另一个删除或移动操作正在进行，请等它结束后再试。"));
        }
        EXPECT_EQ(nullptr, ui::FindTopWindow(L"移动文件"));
        hold.unlock();
        EXPECT_TRUE(ui::WaitForPassEnd(run.dlg, 10000));
        EXPECT_EQ(L"移动完成", ui::StatusText(main));
    });
}

TEST(MoveFiles, PickedFolderBecomesTheTargetAndThePickersStart) {
    TempFolder dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        ui::AddFound(run.dlg, dir.Path() + L"\\1\\a.txt");
        ui::AddFound(run.dlg, dir.Path() + L"\\2\\a.txt");
        HWND dialog = OpenMoveDialog(main);
        ASSERT_NE(nullptr, dialog);
        ui::SetItemText(dialog, IDC_MOVE_TARGET, L"typed");
        ui::SetTick(dialog, IDC_MOVE_OVERWRITE, true);

        ui::PressButton(dialog, IDC_MOVE_BROWSE);
        HWND tree = nullptr;
        HWND picker = WaitForPicker(main, dialog, tree);
        ASSERT_NE(nullptr, picker);
        // The new style, with its edit box.
        EXPECT_NE(nullptr, FindWindowExW(picker, nullptr, L"Edit", nullptr));
        ui::PressButton(picker, IDOK);
        ASSERT_TRUE(ui::WaitForClose(picker));
        ui::Barrier(main);
        const std::wstring picked = ui::ItemText(dialog, IDC_MOVE_TARGET);
        EXPECT_NE(L"typed", picked);
        EXPECT_TRUE(Exists(picked));
        // The controls were taken over before the picker opened.
        EXPECT_EQ(1, run.dlg.MoveSetting.OverWrite);

        // The second time the picker starts on the folder picked before.
        ui::PressButton(dialog, IDC_MOVE_BROWSE);
        picker = WaitForPicker(main, dialog, tree);
        ASSERT_NE(nullptr, picker);
        const std::wstring leaf = picked.substr(picked.find_last_of(L'\\') + 1);
        EXPECT_TRUE(ui::WaitUntil([&] { return lstrcmpiW(ui::CaretText(tree).c_str(), leaf.c_str()) == 0; }, 8000))
            << "picker not on the picked folder";
        ui::PressButton(picker, IDCANCEL);
        ASSERT_TRUE(ui::WaitForClose(picker));
        ui::Barrier(main);
        EXPECT_EQ(picked, ui::ItemText(dialog, IDC_MOVE_TARGET));
        ui::PressButton(dialog, IDCANCEL);
        ASSERT_TRUE(ui::WaitForClose(dialog));
    });
}

TEST(MoveFiles, MovesDuringARunningSearchAndRemovesTheEmptiedFolders) {
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    const std::wstring data = dir.MakeDir(L"data");
    dir.Write(L"data\\a.txt", "1");
    dir.Write(L"data\\x\\a.txt", "1");
    dir.Write(L"data\\y\\a.txt", "1");
    dir.Write(L"data\\y\\keep.bin", "k");
    // Groups by name and digest: the three a.txt are one group.
    ui::MainWindowRun run("[TWINSEEK]\r\nFindMD5File=1\r\n");
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        ui::StartSearch(main, data);
        ASSERT_TRUE(ui::WaitUntil(
            [&] { return Roots(tree).size() == 1 && Children(tree, Roots(tree)[0]).size() == 3; }, 15000));
        ASSERT_TRUE(ui::WaitUntil([&] { return run.dlg.FileInfoMap.Folders.Items().size() == 3; }));
        ASSERT_TRUE(run.dlg.FindFlags & FIND_RUNNING);

        // The search still runs (idle); its steps wait while the pass has the lock.
        // The third would replace what the pass has just put there: it stays shown.
        EXPECT_EQ(L"移动完成，1个文件未能移动", RunMove(main, run.dlg, {1, false, true, target, true}));
        auto rows = Children(tree, Roots(tree)[0]);
        ASSERT_EQ(1u, rows.size());
        EXPECT_EQ(data + L"\\y\\a.txt", ui::PathOf(tree, rows[0]));
        EXPECT_EQ(L"2", ui::Pieces(tree, Roots(tree)[0])[0]);
        EXPECT_TRUE(Exists(data + L"\\a.txt"));
        EXPECT_EQ("1", ReadFileBytes(target + L"\\a.txt"));
        // x was left empty and went; y still holds a file.
        EXPECT_FALSE(Exists(data + L"\\x"));
        EXPECT_TRUE(Exists(data + L"\\y"));
        std::vector<std::wstring> folders;
        for (auto& f : run.dlg.FileInfoMap.Folders.Items()) folders.push_back(f.strPath);
        EXPECT_EQ((std::vector<std::wstring>{data, data + L"\\y"}), folders);

        ui::StopSearch(main, run.dlg);
    });
}

TEST(MoveFiles, ClosingStopsThePassBeforeItsNextRow) {
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        auto a = FoundSameNamed(dir, run.dlg, L"a.txt", 2);
        std::unique_lock<std::mutex> hold(run.dlg.PassLock);
        HWND dialog = OpenMoveDialog(main);
        ASSERT_NE(nullptr, dialog);
        ui::SetTick(dialog, IDC_MOVE_CHECKED, false);
        ui::SetTick(dialog, IDC_MOVE_ALL, true);
        ui::SetItemText(dialog, IDC_MOVE_TARGET, target);
        SetWindowTextW(GetDlgItem(main, IDC_STATUS), L"");
        ui::PressButton(dialog, IDOK);
        ASSERT_TRUE(ui::WaitForClose(dialog));
        ui::Barrier(main);
        run.dlg.ClosingFlag = 1;   // what the close handler sets first
        hold.unlock();
        EXPECT_TRUE(ui::WaitForPassEnd(run.dlg, 10000));
        EXPECT_EQ(L"", ui::StatusText(main));
        EXPECT_TRUE(Exists(a[0]));
        EXPECT_TRUE(Exists(a[1]));
        EXPECT_EQ(2u, Children(run.tree(), Roots(run.tree()).at(0)).size());
        run.dlg.ClosingFlag = 0;
    });
}

TEST(MoveFilesSafety, ClosingDuringALargeMoveAcrossVolumesFinishesTheFileFirst) {
    const std::wstring shm = L"Z:\\dev\\shm";
    if (GetFileAttributesW(shm.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no second volume";
    TempFolder dir;
    const std::wstring target = shm + L"\\twinseek-close-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
    const std::string bytes(512u << 20, 'x');
    const std::wstring big = dir.Write(L"1\\big.bin", bytes), small = dir.Write(L"2\\big.bin", "small");
    ui::MainWindowRun run;
    std::vector<std::wstring> texts;
    bool seen = false;
    run.Run([&](HWND main) {
        for (const auto& p : {big, small}) ui::AddFound(run.dlg, p);
        ui::StatusRecorder status(main);
        HWND dialog = OpenMoveDialog(main);
        ASSERT_NE(nullptr, dialog);
        for (int id : {IDC_MOVE_CHECKED, IDC_MOVE_KEEP_FIRST}) ui::SetTick(dialog, id, false);
        ui::SetTick(dialog, IDC_MOVE_ALL, true);
        ui::SetItemText(dialog, IDC_MOVE_TARGET, target);
        ui::PressButton(dialog, IDOK);
        ASSERT_TRUE(ui::WaitForClose(dialog));
        // Closed while the copy is being written, when that can be seen.
        seen = ui::WaitUntil(
            [&] {
                WIN32_FIND_DATAW data;
                HANDLE find = FindFirstFileW((target + L"\\*.twinseek-part").c_str(), &data);
                if (find == INVALID_HANDLE_VALUE) return false;
                FindClose(find);
                return true;
            },
            20000);
        PostMessageW(main, WM_CLOSE, 0, 0);
        // The window goes once the pass has finished or undone the file in hand.
        EXPECT_TRUE(ui::WaitUntil([&] { return !IsWindow(main) || !IsWindowVisible(main); }, 60000));
        EXPECT_FALSE(run.dlg.FilePassRunning);
        texts = status.Texts();
    });
    // Said while it waited.
    if (seen) {
        EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), std::wstring(L"正在完成当前文件，完成后退出")));
    }
    // No file under the real name unless it is whole (and then it has left its place);
    // no partial copy left; the second file was never begun.
    const std::wstring arrived = target + L"\\big.bin";
    if (Exists(arrived)) {
        EXPECT_EQ(bytes.size(), ReadFileBytes(arrived).size());
        EXPECT_FALSE(Exists(big));
    } else {
        EXPECT_EQ(bytes.size(), ReadFileBytes(big).size());
    }
    EXPECT_EQ("small", ReadFileBytes(small));
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((target + L"\\*.twinseek-part").c_str(), &data);
    EXPECT_EQ(INVALID_HANDLE_VALUE, find);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    TempFolder::RemoveTree(target);
}

TEST(MoveFiles, KeepFirstReachesTheFilesOfAGroupNeverOpened) {
    TempFolder dir;
    const std::wstring target = dir.MakeDir(L"target");
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        auto a = FoundSameNamed(dir, run.dlg, L"a.txt", 2, false);
        // Only the group row is made: its files wait until somebody reaches them.
        ASSERT_EQ(1u, static_cast<size_t>(SendMessageW(tree, TVM_GETCOUNT, 0, 0)));
        EXPECT_EQ(L"移动完成", RunMove(main, run.dlg, {1, false, false, target}));
        EXPECT_EQ("1", ReadFileBytes(a[0]));
        EXPECT_FALSE(Exists(a[1]));
        EXPECT_EQ("2", ReadFileBytes(target + L"\\a.txt"));
        // As with a group opened before: the pass leaves the group row, counting one.
        ASSERT_EQ(1u, Roots(tree).size());
        EXPECT_TRUE(Children(tree, Roots(tree)[0]).empty());
        EXPECT_EQ(L"1", ui::Pieces(tree, Roots(tree)[0])[0]);
    });
}
