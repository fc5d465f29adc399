#pragma once
// Filling the results of a real main window as the scan would, from the driver thread.
#include <windows.h>

#include <string>

#include "app/TwinseekDlg.h"
#include "engine/FileStatus.h"
#include "res/resource.h"
#include "tests/ui/UiDriver.h"

namespace ui {

// The record the scan makes of a file; size and time are read when the file exists.
inline SFileInfo FoundRecord(const std::wstring& path) {
    SFileInfo f;
    f.strPath = path;
    f.strName = path.substr(path.find_last_of(L'\\') + 1);
    f.strTime = L"2012-10-14 09:05:03";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        f.nSize = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        f.strTime = FormatFileTime(data.ftLastWriteTime);
    }
    return f;
}

// One found file: into its group, then rows once the group has two or more.
inline void AddFound(CTwinseekDlg& dlg, const SFileInfo& f, bool expand = true) {
    dlg.FileInfoMap.AddFile(f);
    const int n = dlg.FileInfoMap.GetGroupSize(f);
    SFileInfo first;
    if (n < 2 || !dlg.FileInfoMap.GetFirstFile(f, first)) return;
    if (n == 2) dlg.GroupReachedTwo(first, f, expand, dlg.FileInfoMap.Clears());
    else dlg.GroupGrew(first, f, dlg.FileInfoMap.Clears());
}

inline void AddFound(CTwinseekDlg& dlg, const std::wstring& path) { AddFound(dlg, FoundRecord(path)); }

inline std::wstring StatusText(HWND main) { return Text(GetDlgItem(main, IDC_STATUS)); }

// Waits until the delete or move pass has ended.
inline bool WaitForPassEnd(CTwinseekDlg& dlg, int timeoutMs = 15000) {
    return WaitUntil([&] { return !dlg.FilePassRunning; }, timeoutMs);
}

inline bool WaitForStatus(HWND main, const std::wstring& text, int timeoutMs = 10000) {
    return WaitUntil([&] { return StatusText(main) == text; }, timeoutMs);
}

}  // namespace ui
