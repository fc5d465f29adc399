#include "engine/FileIdentity.h"

#include <windows.h>

#include "engine/LongPath.h"
#include "win/Handles.h"

namespace {

// No access rights asked and every sharing mode granted: opening for the identity
// never disturbs another program, and the backup flag lets folders open too.
win::UniqueHandle OpenForIdentity(const std::wstring& path) {
    return win::UniqueHandle(CreateFileW(ToLongPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool ReadInformation(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    win::UniqueHandle h = OpenForIdentity(path);
    return h && GetFileInformationByHandle(h.get(), &info);
}

// The index alone is the file information class FileInternalInformation, which only
// ntdll answers; looked up at run time so that the program imports nothing more.
using QueryInformationFileFn = LONG(WINAPI*)(HANDLE, void* status, void* info, ULONG length, int infoClass);
constexpr int kFileInternalInformation = 6;

QueryInformationFileFn QueryInformationFile() {
    static const QueryInformationFileFn fn = reinterpret_cast<QueryInformationFileFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile")));
    return fn;
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

std::optional<uint64_t> FileIndexOfHandle(HANDLE handle) {
    QueryInformationFileFn query = QueryInformationFile();
    if (!query) {
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
        return (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    ULONG_PTR status[2] = {};   // IO_STATUS_BLOCK
    LARGE_INTEGER index{};
    if (query(handle, status, &index, sizeof index, kFileInternalInformation) != 0) return std::nullopt;
    return static_cast<uint64_t>(index.QuadPart);
}

std::optional<uint64_t> FileIndexOf(const std::wstring& path) {
    win::UniqueHandle h = OpenForIdentity(path);
    if (!h) return std::nullopt;
    return FileIndexOfHandle(h.get());
}

unsigned FileLinkCount(const std::wstring& path) {
    BY_HANDLE_FILE_INFORMATION info;
    return ReadInformation(path, info) ? info.nNumberOfLinks : 0;
}
