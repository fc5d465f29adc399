// The move command in the real main window: its dialog, and passes on real files.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "settings/SettingsFile.h"
#include "tests/ui/FoundFiles.h"
#include "tests/ui/ResultsDriver.h"
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
    HWND box = ui::WaitForMessageBox(text);
    if (!box) return false;
    ui::PressButton(box, IDOK);
    return ui::WaitForClose(box);
}

}  // namespace

TEST(MoveFiles, DialogRefusesAMissingTargetAndStoresARootWithoutItsBackslash) {
    ui::TempDir dir;
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        // No results: no dialog.
        ui::PostCommand(main, IDC_MOVE);
        HWND box = ui::WaitForMessageBox(L"没找到相同文件名的文件");
        ASSERT_NE(nullptr, box);
        ui::PressButton(box, IDOK);
        ASSERT_TRUE(ui::WaitForClose(box));

        ui::AddFound(run.dlg, dir.path() + L"\\1\\a.txt");
        ui::AddFound(run.dlg, dir.path() + L"\\2\\a.txt");
        HWND dialog = OpenMoveDialog(main);
        ASSERT_NE(nullptr, dialog);
        ui::SetItemText(dialog, IDC_MOVE_TARGET, L"");
        EXPECT_TRUE(OkRefused(dialog, L"请选择一个移动目标文件夹"));
        ui::SetItemText(dialog, IDC_MOVE_TARGET, dir.path() + L"\\nowhere");
        EXPECT_TRUE(OkRefused(dialog, L"目标文件夹不存在！"));
        // The dialog stays with what was typed.
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(dir.path() + L"\\nowhere", ui::ItemText(dialog, IDC_MOVE_TARGET));

        ui::SetItemText(dialog, IDC_MOVE_TARGET, L"C:\\");
        ui::PressButton(dialog, IDOK);
        ASSERT_TRUE(ui::WaitForClose(dialog));
        ui::Barrier(main);
        EXPECT_EQ(L"C:", run.dlg.MoveSetting.SavePath);
        EXPECT_EQ(L"C:", ReadSettingString(L"SavePath", L"?"));
    });
}
