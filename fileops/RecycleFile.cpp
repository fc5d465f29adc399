#include "fileops/RecycleFile.h"

#include <windows.h>
#include <shellapi.h>

#include "engine/FileIdentity.h"
#include "engine/LongPath.h"
#include "win/Format.h"

namespace {

// The short form of a path, for a shell that takes no "\\?\" paths: past the classic
// limit, or with a name ending in "." or " " (which the shell would trim into another
// file's name); empty when there is none that fits.
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
    if (shortPath.size() >= MAX_PATH || HasTrimmedName(shortPath)) return L"";
    return shortPath;
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

bool Exists(const std::wstring& exact) { return GetFileAttributesW(exact.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Removes the spare name; a read-only file takes its attribute off first (attributes
// belong to the file, not to one of its names).
void DropName(const std::wstring& exact) {
    if (DeleteFileW(exact.c_str())) return;
    const DWORD attributes = GetFileAttributesW(exact.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(exact.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
        DeleteFileW(exact.c_str());
    }
}

}  // namespace

bool RecycleFile(const std::wstring& path) {
    // The shell trims a name ending in "." or " " into another file's name: such a
    // path goes only by its short form. A long one goes whole first, which keeps the
    // file's own name in the bin, then by its short form.
    const bool trimmed = HasTrimmedName(path);
    const std::wstring shortPath = trimmed || path.size() >= MAX_PATH ? ShortShellPath(path) : std::wstring();
    if (trimmed && shortPath.empty()) return false;
    const std::wstring exact = ToLongPath(path);

    // The shell deletes for good, without a word, what the bin cannot take (a drive
    // without a bin, a file over the bin's limit). A second name for the file, made
    // beside it, tells the two apart: the bin keeps the file's data under a name of
    // its own, so after a real recycling the spare name shares the file with it; after
    // a deletion for good the spare name is all that is left, and it gives the file
    // back its own name. Where no second name can be made, nothing is risked.
    const std::wstring spare = ToLongPath(win::Format(L"%s.%lu-%lu.twinseek-keep", path.c_str(),
                                                      GetCurrentProcessId(), GetCurrentThreadId()));
    if (!CreateHardLinkW(spare.c_str(), exact.c_str(), nullptr)) return false;
    // The file may have names elsewhere already: the bin's name is one more than the
    // names left after a deletion for good.
    const unsigned names = FileLinkCount(spare);

    if (!trimmed) ShellRecycle(path);
    if (Exists(exact) && !shortPath.empty()) ShellRecycle(shortPath);
    if (Exists(exact)) {
        // Still in place: not recycled, whatever was reported.
        DropName(spare);
        return false;
    }
    if (names >= 2 && FileLinkCount(spare) >= names) {
        DropName(spare);
        return true;
    }
    // Deleted for good: the file gets its name back and counts as not deleted.
    MoveFileW(spare.c_str(), exact.c_str());
    return false;
}
