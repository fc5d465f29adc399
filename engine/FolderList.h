#pragma once
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

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

private:
    std::recursive_mutex& m_lock;
    std::vector<SFolderItem> m_items;
    std::unordered_set<std::wstring> m_paths;   // AddFolder's duplicate test in one look-up
    size_t m_firstPending = 0;                  // no entry before it is pending
};
