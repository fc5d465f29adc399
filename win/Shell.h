#pragma once
#include <string>
#include <windows.h>

namespace win {

// Asks the shell to "open" a file, folder or address; the result above 32 means success.
INT_PTR ShellOpen(HWND owner, const std::wstring& target, int show = SW_SHOWNORMAL);

// True when a file or folder exists at the path.
bool PathExists(const std::wstring& path);

}  // namespace win
