#include "engine/PassedOver.h"

#include <windows.h>

namespace {

bool SameName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
               CSTR_EQUAL;
}

bool EndsWith(std::wstring_view name, std::wstring_view ending) {
    return name.size() >= ending.size() && SameName(name.substr(name.size() - ending.size()), ending);
}

}  // namespace

bool IsSystemFolderName(std::wstring_view name) {
    // "$Recycle.Bin" (Vista on) and "$RECYCLE.BIN" differ only in case.
    return SameName(name, L"$Recycle.Bin") || SameName(name, L"RECYCLER") || SameName(name, L"RECYCLED") ||
           SameName(name, L"System Volume Information");
}

bool IsOwnTemporaryName(std::wstring_view name) {
    return EndsWith(name, kSpareNameEnding) || EndsWith(name, kPartialCopyEnding);
}

bool IsInSystemFolder(std::wstring_view path) {
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos) return false;  // the last name is the file's own
        if (IsSystemFolderName(path.substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}
