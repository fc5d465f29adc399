#include "engine/LongPath.h"

namespace {

// Directories must stay below MAX_PATH - 12 so that an 8.3 name still fits; the
// same margin is used for files.
constexpr size_t kPlainLimit = 248;

bool IsDriveAbsolute(const std::wstring& p) {
    return p.size() >= 3 && p[1] == L':' && p[2] == L'\\' &&
           ((p[0] >= L'A' && p[0] <= L'Z') || (p[0] >= L'a' && p[0] <= L'z'));
}

}  // namespace

std::wstring ToLongPath(const std::wstring& path) {
    if (path.size() < kPlainLimit || path.compare(0, 4, L"\\\\?\\") == 0) return path;
    // The prefix switches off "/" and "." handling, so only well-formed absolute paths get it.
    if (path.find(L'/') != std::wstring::npos) return path;
    if (IsDriveAbsolute(path)) return L"\\\\?\\" + path;
    if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return path;
}
