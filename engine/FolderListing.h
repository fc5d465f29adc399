#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <windows.h>

#include "win/Handles.h"

// One directory entry as a listing gives it.
struct SFolderEntry {
    std::wstring_view name;   // valid until the listing moves on
    DWORD attributes = 0;
    uint64_t size = 0;
    FILETIME lastWrite{};
    uint64_t fileId = 0;      // the file index; 0 where the listing does not say
};

// The entries of one folder, "." and ".." included, in the order the system lists
// them. The folder is opened once, and that handle also answers its file index: a
// second handle for the identity would cost three more round trips to the server
// per folder under Wine (open, file descriptor, close). Where the handle cannot list
// (no listing right, or a system without handle listings), the classic wildcard
// listing takes over.
class CFolderListing {
public:
    explicit CFolderListing(const std::wstring& path);
    CFolderListing(const CFolderListing&) = delete;
    CFolderListing& operator=(const CFolderListing&) = delete;

    // The folder's file index (FileIndexOf); none when it cannot be opened.
    std::optional<uint64_t> Index() const { return m_index; }
    // Starts the listing: false when the folder cannot be listed. The first entry is
    // then ready, and every Next moves to the one after it.
    bool Start(SFolderEntry& entry);
    bool Next(SFolderEntry& entry);
    // Ends the listing before the folder's step does.
    void Close();

private:
    bool Query(bool restart);
    bool Take(SFolderEntry& entry);
    static void FromFindData(const WIN32_FIND_DATAW& data, SFolderEntry& entry);

    std::wstring m_path;
    win::UniqueHandle m_folder;
    std::optional<uint64_t> m_index;
    std::unique_ptr<unsigned char[]> m_buffer;   // one batch of entries
    size_t m_at = 0;                             // the next entry's offset in it
    bool m_more = false;                         // m_at points at an entry
    // The wildcard listing, when the handle cannot list.
    win::FindHandle m_find;
    WIN32_FIND_DATAW m_findData;
};
