#pragma once
#include <string>
#include <windows.h>

namespace win {

// The system's save dialog (explorer style). `filter` is written with '|' between
// its parts, as "Text (*.txt)|*.txt|All (*.*)|*.*|". True on OK, with the chosen
// full path in `path`.
bool SaveFileDialog(HWND owner, const std::wstring& filter, DWORD flags, std::wstring& path);

}  // namespace win
