#include "fileops/ExportPass.h"

#include <windows.h>
#include <commdlg.h>

#include <cstdio>
#include <vector>

#include "engine/LongPath.h"
#include "view/IResults.h"
#include "view/ResultColumns.h"
#include "win/CodePage.h"
#include "win/Format.h"
#include "win/Handles.h"
#include "win/MessageBox.h"
#include "win/SaveFileDialog.h"
#include "win/WaitCursor.h"

std::wstring CExportPass::WithTextExtension(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    size_t dot = path.find_last_of(L'.');
    bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash) &&
                        dot + 1 < path.size();
    return hasExtension ? path : path + L".txt";
}

void CExportPass::OnExportList() {
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
    Write(path);
}

bool CExportPass::Write(const std::wstring& path) {
    std::vector<std::wstring> lines;
    bool fits = true;
    for (HTREEITEM group = results_.FirstGroup(); group; group = results_.NextSibling(group)) {
        for (HTREEITEM row = results_.FirstChild(group); row; row = results_.NextSibling(row)) {
            lines.push_back(results_.Text(row, kNameColumn) + L"\t" + results_.Text(row, kPathColumn));
            if (fits) fits = win::FitsCodePage(lines.back());
        }
    }
    // Binary mode: each line gets its CR LF here, in either encoding.
    win::UniqueFile out(_wfopen(ToLongPath(path).c_str(), L"wb"));
    if (!out) {
        status_(win::Format(L"保存失败:%s", path.c_str()));
        return false;
    }
    bool written = fits || fwrite("\xEF\xBB\xBF", 1, 3, out.get()) == 3;
    for (const std::wstring& line : lines) {
        status_(win::Format(L"正在保存:%s", line.c_str() + line.find(L'\t') + 1));
        const std::string bytes = (fits ? win::ToMultiByte(line) : win::ToUtf8(line)) + "\r\n";
        if (fwrite(bytes.data(), 1, bytes.size(), out.get()) != bytes.size()) written = false;
    }
    // What is still buffered is written by the close: a full disk shows there.
    if (!out.Close()) written = false;
    status_(written ? std::wstring(L"保存完成") : win::Format(L"保存失败:%s", path.c_str()));
    return written;
}
