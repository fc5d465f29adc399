#include "engine/FileIdentity.h"

#include <windows.h>

#include "engine/LongPath.h"
#include "win/Handles.h"

namespace {

bool ReadInformation(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    // No access rights asked and every sharing mode granted: opening for the identity
    // never disturbs another program, and the backup flag lets folders open too.
    win::UniqueHandle h(CreateFileW(ToLongPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return h && GetFileInformationByHandle(h.get(), &info);
}

}  // namespace

std::optional<SFileId> FileIdentityOf(const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!ReadInformation(path, info)) return std::nullopt;
    SFileId id;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return id;
}

unsigned FileLinkCount(const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION info;
    return ReadInformation(path, info) ? info.nNumberOfLinks : 0;
}
