#include "engine/FolderListing.h"

#include "engine/FileIdentity.h"
#include "engine/LongPath.h"

namespace {

constexpr DWORD kBatchBytes = 65536;

}  // namespace

CFolderListing::CFolderListing(const std::wstring& path) : m_path(path) {
    // The same sharing and link following as the identity's open, plus the right to
    // list; a folder that refuses listing is still identified by the classic means.
    m_folder.reset(CreateFileW(ToLongPath(path).c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    m_index = m_folder ? FileIndexOfHandle(m_folder.get()) : FileIndexOf(path);
}

void CFolderListing::FromFindData(const WIN32_FIND_DATAW& data, SFolderEntry& entry) {
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    entry.lastWrite = data.ftLastWriteTime;
    entry.fileId = 0;
}

bool CFolderListing::Query(bool restart) {
    m_at = 0;
    // The listing with the file IDs: a digest kept from an earlier run is found by
    // them without opening the file.
    m_more = GetFileInformationByHandleEx(m_folder.get(), restart ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo,
                                          m_buffer.get(), kBatchBytes) != 0;
    return m_more;
}

bool CFolderListing::Take(SFolderEntry& entry) {
    const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(m_buffer.get() + m_at);
    entry.name = std::wstring_view(info->FileName, info->FileNameLength / sizeof(wchar_t));
    entry.attributes = info->FileAttributes;
    entry.size = static_cast<uint64_t>(info->EndOfFile.QuadPart);
    entry.lastWrite.dwLowDateTime = info->LastWriteTime.LowPart;
    entry.lastWrite.dwHighDateTime = static_cast<DWORD>(info->LastWriteTime.HighPart);
    entry.fileId = static_cast<uint64_t>(info->FileId.QuadPart);
    if (info->NextEntryOffset)
        m_at += info->NextEntryOffset;
    else
        m_more = false;
    return true;
}

bool CFolderListing::Start(SFolderEntry& entry) {
    if (m_folder) {
        m_buffer.reset(new unsigned char[kBatchBytes]);
        if (Query(true)) return Take(entry);
        // An empty first answer (a drive's root lists no "." or "..") or a refusal:
        // the wildcard listing knows either case.
        m_buffer.reset();
        m_folder.reset();
    }
    m_find.reset(FindFirstFileW(ToLongPath(m_path + L"\\*.*").c_str(), &m_findData));
    if (!m_find.valid()) return false;
    FromFindData(m_findData, entry);
    return true;
}

bool CFolderListing::Next(SFolderEntry& entry) {
    if (m_folder) {
        if (!m_more && !Query(false)) return false;
        return Take(entry);
    }
    if (!m_find.valid() || !FindNextFileW(m_find.get(), &m_findData)) return false;
    FromFindData(m_findData, entry);
    return true;
}

void CFolderListing::Close() {
    m_folder.reset();
    m_find.reset();
    m_buffer.reset();
    m_more = false;
}
