#include "fileops/RecycleFile.h"

#include <windows.h>
#include <shellapi.h>

#include "engine/LongPath.h"

namespace {

// The short form of a path past the classic limit, for a shell that takes no longer
// ones (nor "\\?\" paths); empty when there is none that fits.
std::wstring ShortShellPath(const std::wstring& path) {
    const std::wstring prefixed = ToLongPath(path);
    DWORD n = GetShortPathNameW(prefixed.c_str(), nullptr, 0);
    if (n == 0) return L"";
    std::wstring shortPath(n, L'\0');
    n = GetShortPathNameW(prefixed.c_str(), shortPath.data(), n);
    shortPath.resize(n);
    if (shortPath.rfind(L"\\\\?\\UNC\\", 0) == 0)
        shortPath = L"\\\\" + shortPath.substr(8);
    else if (shortPath.rfind(L"\\\\?\\", 0) == 0)
        shortPath = shortPath.substr(4);
    return shortPath.size() < MAX_PATH ? shortPath : L"";
}

bool ShellRecycle(const std::wstring& path) {
    // The shell's list form: every path ends with a NUL, the list with one more.
    std::wstring from = path;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.pTo = nullptr;
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_ALLOWUNDO;
    op.lpszProgressTitle = nullptr;
    return SHFileOperationW(&op) == 0 && !op.fAnyOperationsAborted;
}

}  // namespace

bool RecycleFile(const std::wstring& path) {
    // The whole path first: it keeps the file's own name in the recycle bin.
    bool reported = ShellRecycle(path);
    if (!reported && path.size() >= MAX_PATH) {
        std::wstring shortPath = ShortShellPath(path);
        reported = !shortPath.empty() && ShellRecycle(shortPath);
    }
    // Trust the disk, not the report: a file still in place was not recycled.
    return reported && GetFileAttributesW(ToLongPath(path).c_str()) == INVALID_FILE_ATTRIBUTES;
}
