#include <gtest/gtest.h>
#include <windows.h>

#include "app/TwinseekDlg.h"
#include "res/resource.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/UiDriver.h"

namespace {

void AddExtension(HWND box, const std::wstring& text) {
    ui::SetItemText(box, IDC_SET_EXT_TEXT, text);
    ui::PressButtonNow(box, IDC_SET_ADD);
}

// The main window's command 1018 opens the dialog and hands the criteria to the
// groups whatever the dialog returns.
TEST(FindSettingCommand, HandsTheCriteriaToTheGroups) {
    ui::MainWindowRun run;
    run.Run([&](HWND main) {
        ui::PostCommand(main, IDC_FIND_SETTING);
        HWND box = ui::WaitForTopWindow(L"查找设置");
        ASSERT_NE(nullptr, box);
        ui::SetTick(box, IDC_SET_SIZE, true);
        ui::SetTick(box, IDC_SET_SIMILAR, true);
        AddExtension(box, L"mp3");  // takes the ticks into the record
        ui::PressButton(box, IDCANCEL);
        ASSERT_TRUE(ui::WaitForClose(box));
        ui::Barrier(main);
        {
            auto lock = run.dlg.FileInfoMap.Lock();
            EXPECT_EQ(2, run.dlg.FileInfoMap.nCriteria);
            EXPECT_EQ(1, run.dlg.FileInfoMap.bSimilarName);
            EXPECT_TRUE(run.dlg.FindSetting.ExtList.Contains(L"mp3"));
        }

        ui::PostCommand(main, IDC_FIND_SETTING);
        box = ui::WaitForTopWindow(L"查找设置");
        ASSERT_NE(nullptr, box);
        // Reloaded from the file: the cancelled ticks are gone.
        EXPECT_FALSE(ui::Ticked(box, IDC_SET_SIZE));
        ui::SetTick(box, IDC_SET_TIME, true);
        ui::PressButton(box, IDOK);
        ASSERT_TRUE(ui::WaitForClose(box));
        ui::Barrier(main);
        auto lock = run.dlg.FileInfoMap.Lock();
        EXPECT_EQ(1, run.dlg.FileInfoMap.nCriteria);
        EXPECT_EQ(0, run.dlg.FileInfoMap.bSimilarName);
    });
}

}  // namespace
