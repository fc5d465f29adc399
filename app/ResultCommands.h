#pragma once
#include <windows.h>

#include <string>

// How the row commands open a file or a folder (the shell's "open" by default).
// Tests put a recorder here so that nothing is really launched.
using ResultsShellOpenFn = INT_PTR (*)(HWND owner, const std::wstring& target, int show);
void SetResultsShellOpen(ResultsShellOpenFn fn);
