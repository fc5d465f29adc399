#pragma once
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/FileIdentity.h"
#include "engine/FolderItem.h"

// The folders of a search in order of addition. Every method takes the data lock
// it was given (the group map's), so callers need no lock of their own.
class CFolderList {
public:
    explicit CFolderList(std::recursive_mutex& lock) : m_lock(lock) {}
    CFolderList(const CFolderList&) = delete;
    CFolderList& operator=(const CFolderList&) = delete;

    // False for an empty path or one already listed (exact, case-sensitive).
    bool AddFolder(const std::wstring& path, bool subFolder);
    // The first pending entry, now marked searched; an empty path when none is pending.
    SFolderItem TakeNextFolder();
    // True when TakeNextFolder would return a folder.
    bool HasPending() const;
    // The entry with exactly this path gets the flag and becomes pending; every
    // entry whose path merely contains the text becomes pending too.
    void RequeueFolder(const std::wstring& path, bool subFolder);
    void RequeueAllFolders();
    void ClearFolders();
    int FolderCount() const;

    // Copies, so the caller may walk them without holding the lock.
    std::vector<std::wstring> FolderPaths() const;
    std::vector<SFolderItem> Items() const;
    // Drops the entries whose folders no longer exist, keeping the order of the rest.
    void DropMissingFolders();

    // One folder on disk is listed by one entry only, however its path is spelled
    // (letter case, short names, links, junctions, mounted folders): true when the
    // entry with this path may list the folder with this identity, false when another
    // entry has listed it. A requeued or dropped entry gives its claim up; clearing
    // the list forgets them all.
    bool ClaimFolder(const std::wstring& path, const SFileId& id);
    // The same by the folder's file index, which is quick to read; the volume, which is
    // not (Wine reads the device for it), is asked through identityOf only when another
    // entry's folder has the same index, for both folders.
    using IdentityFn = std::function<std::optional<SFileId>(const std::wstring&)>;
    bool ClaimFolder(const std::wstring& path, uint64_t index, const IdentityFn& identityOf);

private:
    struct SClaim {
        uint64_t index = 0;
        std::optional<uint32_t> volume;   // not read yet while no other folder shares the index
    };
    bool Claim(const std::wstring& path, uint64_t index, std::optional<uint32_t> volume, const IdentityFn& identityOf);
    void ForgetClaim(const std::wstring& path);

    std::recursive_mutex& m_lock;
    std::vector<SFolderItem> m_items;
    std::unordered_set<std::wstring> m_paths;   // AddFolder's duplicate test in one look-up
    size_t m_firstPending = 0;                  // no entry before it is pending
    std::unordered_map<std::wstring, SClaim> m_claimOf;          // entry -> its folder
    std::unordered_multimap<uint64_t, std::wstring> m_byIndex;   // folder index -> entries listing it
};
