// Writing the result list to a text file.
#include "app/TwinseekDlg.h"

#include <commdlg.h>

#include <cstdio>

#include "win/CodePage.h"
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

    // Text mode: each line feed is written as CR LF.
    FILE* out = _wfopen(path.c_str(), L"w");
    if (!out) return;
    HWND tree = ResultTree.GetTreeCtrl();
    for (HTREEITEM group = TreeView_GetRoot(tree); group; group = TreeView_GetNextSibling(tree, group)) {
        for (HTREEITEM row = TreeView_GetChild(tree, group); row; row = TreeView_GetNextSibling(tree, row)) {
            const std::wstring name = ResultTree.GetItemText(row, 1);
            const std::wstring file = ResultTree.GetItemText(row, 2);
            ShowStatus(this, L"正在保存:%s", file.c_str());
            const std::string line = win::ToMultiByte(name + L"\t" + file);
            fwrite(line.data(), 1, line.size(), out);
            fputc('\n', out);
        }
    }
    fclose(out);
    ShowStatus(this, L"保存完成");
}
