#include "fileops/TargetGuard.h"

#include <windows.h>

#include "engine/LongPath.h"

bool CTargetGuard::IsResult(const SFileId& id, const std::wstring& fileName) {
    if (!rowsRead_) {
        for (const std::wstring& path : rowPaths_)
            if (std::optional<SFileId> row = FileIdentityOf(path)) rows_.insert(*row);
        rowsRead_ = true;
    }
    if (rows_.count(id)) return true;
    if (!members_) return false;
    for (const std::wstring& path : members_(fileName))
        if (FileIdentityOf(path) == id) return true;
    return false;
}

bool CTargetGuard::MayReplace(const std::wstring& source, const std::wstring& target) {
    if (GetFileAttributesW(ToLongPath(target).c_str()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND)
        return true;
    const std::optional<SFileId> there = FileIdentityOf(target);
    // Something is there that cannot be told apart: leave it.
    if (!there) return false;
    const std::optional<SFileId> moving = FileIdentityOf(source);
    if (!moving || *moving == *there || placed_.count(*there)) return false;
    return !IsResult(*there, target.substr(target.find_last_of(L'\\') + 1));
}

void CTargetGuard::Placed(const std::wstring& target) {
    if (std::optional<SFileId> id = FileIdentityOf(target)) placed_.insert(*id);
}
