#include "win/Shell.h"

#include <shellapi.h>

namespace win {

INT_PTR ShellOpen(HWND owner, const std::wstring& target, int show) {
    return reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", target.c_str(), nullptr, nullptr, show));
}

bool PathExists(const std::wstring& path) {
    if (path.empty()) return false;
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace win
