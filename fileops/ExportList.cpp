// Writing the result list to a text file.
#include "app/TwinseekDlg.h"

#include <commdlg.h>

#include <cstdio>

#include "engine/LongPath.h"
#include "view/ResultColumns.h"
#include "win/CodePage.h"
#include "win/Format.h"
#include "win/Handles.h"
#include "win/MessageBox.h"
#include "win/SaveFileDialog.h"
#include "win/WaitCursor.h"

namespace {

// The chosen name without an extension of its own gets ".txt".
std::wstring WithTextExtension(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    size_t dot = path.find_last_of(L'.');
    bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash) &&
                        dot + 1 < path.size();
    return hasExtension ? path : path + L".txt";
}

}  // namespace

void CTwinseekDlg::OnExportList() {
    win::WaitCursor wait;
    std::wstring chosen;
    if (!win::SaveFileDialog(win::GetSafeOwner(), L"文本文件(*.txt)|*txt|全部文件(*.*)|*.*|",
                             OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, chosen))
        return;
    const std::wstring path = WithTextExtension(chosen);
    // The save dialog asked about the name as typed; a name that got ".txt" since is
    // another file, and replacing it needs its own question.
    if (path != chosen && GetFileAttributesW(ToLongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES &&
        win::AppMessageBox(win::Format(L"%s 已存在。\r\n要替换它吗？", path.c_str()),
                           MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;

    // Text mode: each line feed is written as CR LF.
    win::UniqueFile out(_wfopen(ToLongPath(path).c_str(), L"w"));
    if (!out) {
        ShowStatus(this, L"保存失败:%s", path.c_str());
        return;
    }
    bool written = true;
    HWND tree = ResultTree.GetTreeCtrl();
    for (HTREEITEM group = TreeView_GetRoot(tree); group; group = TreeView_GetNextSibling(tree, group)) {
        for (HTREEITEM row = TreeView_GetChild(tree, group); row; row = TreeView_GetNextSibling(tree, row)) {
            const std::wstring name = ResultTree.GetItemText(row, kNameColumn);
            const std::wstring file = ResultTree.GetItemText(row, kPathColumn);
            ShowStatus(this, L"正在保存:%s", file.c_str());
            const std::string line = win::ToMultiByte(name + L"\t" + file);
            if (fwrite(line.data(), 1, line.size(), out.get()) != line.size() || fputc('\n', out.get()) == EOF)
                written = false;
        }
    }
    // What is still buffered is written by the close: a full disk shows there.
    if (!out.Close()) written = false;
    if (written)
        ShowStatus(this, L"保存完成");
    else
        ShowStatus(this, L"保存失败:%s", path.c_str());
}
