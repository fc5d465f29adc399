#include "engine/LongPath.h"

#include <string_view>

namespace {

// Directories must stay below MAX_PATH - 12 so that an 8.3 name still fits; the
// same margin is used for files.
constexpr size_t kPlainLimit = 248;

bool IsDriveAbsolute(const std::wstring& p) {
    return p.size() >= 3 && p[1] == L':' && p[2] == L'\\' &&
           ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z'));
}

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
