// Handing two ticked files to the outside comparison program.
#include <vector>

#include "app/TwinseekDlg.h"
#include "settings/SettingsFile.h"
#include "view/ResultColumns.h"
#include "view/RowTick.h"
#include "win/Format.h"
#include "win/Handles.h"
#include "win/MessageBox.h"

namespace {

std::wstring Trimmed(const std::wstring& text) {
    const wchar_t* blanks = L" \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::wstring::npos) return {};
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

}  // namespace

void CTwinseekDlg::OnCompareFiles() {
    HWND tree = ResultTree.GetTreeCtrl();
    // The rows examined: the children of the selected group, the siblings of the
    // selected file, or the group rows when nothing is selected.
    HTREEITEM selected = TreeView_GetSelection(tree);
    HTREEITEM row = nullptr;
    if (selected) {
        row = TreeView_GetChild(tree, selected);
        if (!row) {
            HTREEITEM parent = TreeView_GetParent(tree, selected);
            row = parent ? TreeView_GetChild(tree, parent) : TreeView_GetRoot(tree);
        }
    } else {
        row = TreeView_GetRoot(tree);
    }

    std::wstring arguments;
    int count = 0;
    for (; row; row = TreeView_GetNextSibling(tree, row)) {
        if (!RowTicked(tree, row)) continue;
        arguments += L"\"" + ResultTree.GetItemText(row, kPathColumn) + L"\" ";
        ++count;
    }
    if (count != 2) {
        win::AppMessageBox(L"只能比较同类的两个文件", MB_OK);
        return;
    }

    const std::wstring program = win::Format(L"%sWinMergeU.exe", GetProgramDir().c_str());
    // Built to the length the paths need; CreateProcessW may write into the buffer.
    const std::wstring line = L" " + program + L" " + Trimmed(arguments);
    std::vector<wchar_t> commandLine(line.begin(), line.end());
    commandLine.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process))
        return;
    win::UniqueHandle started(process.hProcess), thread(process.hThread);
    WaitForSingleObject(started.get(), 1000);
}
