#pragma once
// The delete command driven as a user would: its dialog, the warning and the question
// about groups ticked whole, answered from the driver thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "engine/FileDigest.h"
#include "engine/FileStatus.h"
#include "res/resource.h"
#include "tests/FileRecords.h"
#include "tests/TempFolder.h"
#include "tests/ui/FoundFiles.h"
#include "tests/ui/ResultsDriver.h"
#include "tests/ui/UiDriver.h"

namespace {

using ui::Children;
using ui::Pieces;
using ui::Roots;

const wchar_t kWarning[] = L"执行此操作将删除相关文件！\r\n您真要执行此操作吗？";

// Files of one name in folders a, b, c, ... of the temp folder, found in that order
// (their group row expanded, or closed with its file rows not made yet).
std::vector<std::wstring> Group(const TempFolder& dir, CTwinseekDlg& dlg, const std::wstring& name, int count,
                                bool digest = false, bool expand = true) {
    std::vector<std::wstring> paths;
    for (int i = 0; i < count; ++i) {
        std::wstring folder(1, static_cast<wchar_t>(L'a' + i));
        paths.push_back(dir.Write(folder + L"\\" + name, "same"));
        ui::AddFound(dlg, OnDisk(paths.back(), digest), expand);
    }
    return paths;
}

struct Options {
    int howToDel = 0;
    int direct = 1;
    int reFind = 0;
    int emptyDir = 0;
    // How many groups ticked whole the pass would empty: the question about them
    // comes after the warning, and is answered Yes.
    int wholeGroups = 0;
    int sameContent = 1;
};

std::wstring WholeGroupsQuestion(int groups) {
    return L"有" + std::to_wstring(groups) + L"组重复文件的所有文件都已选中，删除后这些文件一个也不保留。\r\n"
                                             L"您真要删除这些组的全部文件吗？";
}

HWND OpenDialog(HWND main) {
    ui::PostCommand(main, IDC_DELETE);
    return ui::WaitForTopWindow(L"删除重复文件");
}

void Choose(HWND dialog, const Options& o) {
    ui::SetTick(dialog, IDC_DEL_KEEP_FIRST, o.howToDel == 0);
    ui::SetTick(dialog, IDC_DEL_CHECKED, o.howToDel == 1);
    ui::SetTick(dialog, IDC_DEL_DIRECT, o.direct != 0);
    ui::SetTick(dialog, IDC_DEL_REFIND, o.reFind != 0);
    ui::SetTick(dialog, IDC_DEL_EMPTY_DIR, o.emptyDir != 0);
    ui::SetTick(dialog, IDC_DEL_SAME_CONTENT, o.sameContent != 0);
}

// The command with these options up to the warning, answered with `answer`; returns
// once the command handler has returned.
void Delete(HWND main, const Options& o, int answer = IDYES) {
    HWND dialog = OpenDialog(main);
    ASSERT_NE(nullptr, dialog);
    Choose(dialog, o);
    ui::PressButton(dialog, IDOK);
    ASSERT_TRUE(ui::WaitForClose(dialog));
    HWND warning = ui::WaitForMessageBox(kWarning);
    ASSERT_NE(nullptr, warning);
    EXPECT_EQ(L"删除警告", ui::Text(warning));
    ui::PressButton(warning, answer);
    ASSERT_TRUE(ui::WaitForClose(warning));
    if (answer == IDYES && o.wholeGroups > 0) {
        HWND question = ui::WaitForMessageBox(WholeGroupsQuestion(o.wholeGroups));
        ASSERT_NE(nullptr, question);
        ui::PressButton(question, IDYES);
        ASSERT_TRUE(ui::WaitForClose(question));
    }
    ui::Barrier(main);
}

// A whole delete pass with these options; returns its last status text.
std::wstring DeletePass(HWND main, CTwinseekDlg& dlg, const Options& o) {
    Delete(main, o);
    EXPECT_TRUE(ui::WaitForPassEnd(dlg));
    return ui::ItemText(main, IDC_STATUS);
}

}  // namespace
