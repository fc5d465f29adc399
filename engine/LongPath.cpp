#include "engine/LongPath.h"

#include <string_view>

namespace {

// Directories must stay below MAX_PATH - 12 so that an 8.3 name still fits; the
// same margin is used for files.
constexpr size_t kPlainLimit = 248;

bool IsDriveLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

bool IsDriveAbsolute(const std::wstring& p) { return p.size() >= 3 && p[1] == L':' && p[2] == L'\\' && IsDriveLetter(p[0]); }

// Walks the backslash-separated names of a path; `visit` returns false to stop. Every
// file the scan reads passes here, so the names are views, not copies.
template <class Visit>
void ForEachName(std::wstring_view path, Visit visit) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) end = path.size();
        if (!visit(path.substr(start, end - start))) return;
        start = end + 1;
    }
}

bool IsDotName(std::wstring_view name) { return name == L"." || name == L".."; }

}  // namespace

bool HasTrimmedName(const std::wstring& path) {
    bool trimmed = false;
    ForEachName(path, [&](std::wstring_view name) {
        if (!name.empty() && !IsDotName(name) && (name.back() == L'.' || name.back() == L' ')) trimmed = true;
        return !trimmed;
    });
    return trimmed;
}

std::wstring ToLongPath(const std::wstring& path) {
    // A folder of the list keeps no trailing backslash, so a drive root is "D:"; to the
    // system that names the current folder on D:, wherever that is.
    if (path.size() == 2 && path[1] == L':' && IsDriveLetter(path[0])) return path + L"\\";
    if (path.compare(0, 4, L"\\\\?\\") == 0) return path;
    if (path.size() < kPlainLimit && !HasTrimmedName(path)) return path;
    // The prefix switches off "/", "." and ".." handling, so only well-formed absolute
    // paths get it.
    if (path.find(L'/') != std::wstring::npos) return path;
    bool dotted = false;
    ForEachName(path, [&](std::wstring_view name) {
        dotted = IsDotName(name);
        return !dotted;
    });
    if (dotted) return path;
    if (IsDriveAbsolute(path)) return L"\\\\?\\" + path;
    if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}
