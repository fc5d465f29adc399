// The compare command in the real main window, with a stand-in comparison program
// that records the command line it was started with.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "settings/SettingsFile.h"
#include "tests/TempFolder.h"
#include "tests/ui/FoundFiles.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/UiDriver.h"

namespace {

using ui::Children;
using ui::Roots;

// Puts the stand-in where the program looks for the comparison program.
void InstallStandIn() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring from(self);
    from = from.substr(0, from.find_last_of(L'\\') + 1) + L"standin\\WinMergeU.exe";
    ASSERT_TRUE(CopyFileW(from.c_str(), (GetProgramDir() + L"WinMergeU.exe").c_str(), FALSE)) << "no stand-in";
}

std::wstring RecordFile() { return GetProgramDir() + L"WinMergeU.cmdline"; }

// The command line the stand-in recorded; empty when it was not started in time.
// A loaded machine can take many seconds to start a process under Wine.
std::wstring RecordedCommandLine(int timeoutMs = 30000) {
    // Read until it gives something: the stand-in's rename can still hold the file
    // open, with delete access, for a moment after its new name shows.
    std::string bytes;
    if (!ui::WaitUntil([&] { return !(bytes = ReadFileBytes(RecordFile())).empty(); }, timeoutMs)) return L"";
    std::wstring line(bytes.size() / 2, L'\0');
    memcpy(line.data(), bytes.data(), line.size() * 2);
    DeleteFileW(RecordFile().c_str());
    return line;
}

void Tick(HWND tree, HTREEITEM row, bool on = true) { TreeView_SetCheckState(tree, row, on); }

// Runs the command and answers its refusal; false when none came.
bool Refused(HWND main) {
    ui::PostCommand(main, IDC_COMPARE);
    return ui::AnswerMessageBox(L"只能比较同类的两个文件");
}

}  // namespace

TEST(CompareFiles, OnlyExactlyTwoTicksAmongTheExaminedRowsStartTheProgram) {
    ui::MainWindowRun run;
    InstallStandIn();
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        for (auto p : {L"C:\\a\\x.txt", L"C:\\b\\x.txt", L"C:\\c\\x.txt", L"C:\\a\\y.txt", L"C:\\b\\y.txt"})
            ui::AddFound(run.dlg, p);
        ASSERT_EQ(2u, Roots(tree).size());
        HTREEITEM x = Roots(tree)[0], y = Roots(tree)[1];
        auto xs = Children(tree, x), ys = Children(tree, y);
        ASSERT_EQ(3u, xs.size());

        // One tick in the selected row's group (the other group's ticks do not count).
        Tick(tree, xs[1]);
        Tick(tree, ys[0]);
        Tick(tree, ys[1]);
        TreeView_SelectItem(tree, xs[0]);
        EXPECT_TRUE(Refused(main));
        // Three.
        Tick(tree, xs[0]);
        Tick(tree, xs[2]);
        EXPECT_TRUE(Refused(main));
        EXPECT_EQ(L"", RecordedCommandLine(300));

        // Two, with the group row selected: its ticked children, in order.
        Tick(tree, xs[0], false);
        TreeView_SelectItem(tree, x);
        ui::PostCommand(main, IDC_COMPARE);
        EXPECT_EQ(L" " + GetProgramDir() + L"WinMergeU.exe \"" + ui::PathOf(tree, xs[1]) + L"\" \"" +
                      ui::PathOf(tree, xs[2]) + L"\"",
                  RecordedCommandLine());

        // Through the menu, with a file row of the other group selected.
        TreeView_SelectItem(tree, ys[1]);
        ui::PostCommand(main, ID_FILE_COMPARE);
        EXPECT_EQ(L" " + GetProgramDir() + L"WinMergeU.exe \"C:\\a\\y.txt\" \"C:\\b\\y.txt\"",
                  RecordedCommandLine());
    });
}

TEST(CompareFiles, WithoutSelectionTheTickedGroupsPassTheirFirstFiles) {
    ui::MainWindowRun run;
    InstallStandIn();
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        for (auto p : {L"C:\\a\\x.txt", L"C:\\b\\x.txt", L"C:\\a\\y.txt", L"C:\\b\\y.txt", L"C:\\a\\z.txt",
                       L"C:\\b\\z.txt"})
            ui::AddFound(run.dlg, p);
        auto groups = Roots(tree);
        ASSERT_EQ(3u, groups.size());
        Tick(tree, groups[0]);
        Tick(tree, groups[2]);
        Tick(tree, Children(tree, groups[1])[0]);   // not examined
        TreeView_SelectItem(tree, nullptr);
        ui::PostCommand(main, IDC_COMPARE);
        EXPECT_EQ(L" " + GetProgramDir() + L"WinMergeU.exe \"C:\\a\\x.txt\" \"C:\\a\\z.txt\"",
                  RecordedCommandLine());
    });
}

TEST(CompareFiles, LongPathsReachTheProgramWhole) {
    ui::MainWindowRun run;
    InstallStandIn();
    run.Run([&](HWND main) {
        HWND tree = run.tree();
        // Two paths that together are far longer than 1024 characters.
        const std::wstring deep = L"C:\\" + std::wstring(300, L'd') + L"\\" + std::wstring(300, L'e');
        ui::AddFound(run.dlg, deep + L"\\1\\long.txt");
        ui::AddFound(run.dlg, deep + L"\\2\\long.txt");
        HTREEITEM g = Roots(tree).at(0);
        TreeView_SelectItem(tree, g);
        Tick(tree, g);
        for (HTREEITEM c : Children(tree, g)) Tick(tree, c);
        ui::PostCommand(main, IDC_COMPARE);
        EXPECT_EQ(L" " + GetProgramDir() + L"WinMergeU.exe \"" + deep + L"\\1\\long.txt\" \"" + deep +
                      L"\\2\\long.txt\"",
                  RecordedCommandLine());
    });
}
