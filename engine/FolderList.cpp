#include "engine/FolderList.h"

#include <windows.h>

#include <tuple>
#include <utility>

#include "engine/FreeLater.h"
#include "engine/LongPath.h"

using Guard = std::lock_guard<std::recursive_mutex>;

bool CFolderList::AddFolder(const std::wstring& path, bool subFolder) {
    if (path.empty()) return false;
    Guard guard(m_lock);
    if (!m_paths.insert(path).second) return false;
    SFolderItem item;
    item.bSubFolder = subFolder ? 1 : 0;
    item.bPending = 1;
    item.strPath = path;
    m_items.push_back(std::move(item));
    return true;
}

SFolderItem CFolderList::TakeNextFolder() {
    Guard guard(m_lock);
    for (; m_firstPending < m_items.size(); ++m_firstPending) {
        SFolderItem& item = m_items[m_firstPending];
        if (item.bPending) {
            item.bPending = 0;
            return item;
        }
    }
    return SFolderItem();
}

bool CFolderList::HasPending() const {
    Guard guard(m_lock);
    for (size_t i = m_firstPending; i < m_items.size(); ++i)
        if (m_items[i].bPending) return true;
    return false;
}

void CFolderList::RequeueFolder(const std::wstring& path, bool subFolder) {
    Guard guard(m_lock);
    for (size_t i = 0; i < m_items.size(); ++i) {
        SFolderItem& item = m_items[i];
        if (item.strPath == path) {
            item.bSubFolder = subFolder ? 1 : 0;
            item.bPending = 1;
        } else if (item.strPath.find(path) != std::wstring::npos) {
            item.bPending = 1;
        } else {
            continue;
        }
        ForgetClaim(item.strPath);
        if (i < m_firstPending) m_firstPending = i;
    }
}

void CFolderList::RequeueAllFolders() {
    Guard guard(m_lock);
    for (SFolderItem& item : m_items) item.bPending = 1;
    m_firstPending = 0;
    m_claimOf.clear();
    m_byIndex.clear();
}

void CFolderList::ClearFolders() {
    Guard guard(m_lock);
    // A whole disk's folders are freed by another thread.
    FreeLater(std::make_tuple(std::exchange(m_items, {}), std::exchange(m_paths, {}), std::exchange(m_claimOf, {}),
                              std::exchange(m_byIndex, {})));
    m_firstPending = 0;
}

int CFolderList::FolderCount() const {
    Guard guard(m_lock);
    return static_cast<int>(m_items.size());
}

std::vector<std::wstring> CFolderList::FolderPaths() const {
    Guard guard(m_lock);
    std::vector<std::wstring> paths;
    paths.reserve(m_items.size());
    for (const SFolderItem& item : m_items) paths.push_back(item.strPath);
    return paths;
}

std::vector<SFolderItem> CFolderList::Items() const {
    Guard guard(m_lock);
    return m_items;
}

void CFolderList::DropMissingFolders() {
    // The disk is asked without the lock; only the erase holds it.
    std::unordered_set<std::wstring> missing;
    for (const std::wstring& path : FolderPaths())
        if (GetFileAttributesW(ToLongPath(path).c_str()) == INVALID_FILE_ATTRIBUTES)
            missing.insert(path);
    if (missing.empty()) return;

    Guard guard(m_lock);
    std::vector<SFolderItem> kept;
    kept.reserve(m_items.size());
    for (SFolderItem& item : m_items) {
        if (missing.count(item.strPath)) {
            m_paths.erase(item.strPath);
            ForgetClaim(item.strPath);
        } else
            kept.push_back(std::move(item));
    }
    m_items.swap(kept);
    m_firstPending = 0;
}

bool CFolderList::ClaimFolder(const std::wstring& path, const SFileId& id) {
    return Claim(path, id.index, id.volume, FileIdentityOf);
}

bool CFolderList::ClaimFolder(const std::wstring& path, uint64_t index, const IdentityFn& identityOf) {
    return Claim(path, index, std::nullopt, identityOf);
}

bool CFolderList::Claim(const std::wstring& path, uint64_t index, std::optional<uint32_t> volume,
                        const IdentityFn& identityOf) {
    Guard guard(m_lock);
    // Each volume read below answers "the same folder?" for a pair sharing an index.
    // One that cannot be read (the folder is gone, or its path now leads elsewhere)
    // leaves the pair apart, as a folder without identity was always listed.
    auto volumeOf = [&](const std::wstring& folder) -> std::optional<uint32_t> {
        std::optional<SFileId> id = identityOf(folder);
        if (!id || id->index != index) return std::nullopt;
        return id->volume;
    };
    auto range = m_byIndex.equal_range(index);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == path) continue;
        if (!volume && !(volume = volumeOf(path))) break;
        SClaim& other = m_claimOf.at(it->second);
        if (!other.volume) other.volume = volumeOf(it->second);
        if (other.volume == volume) return false;
    }
    // An entry lists one folder: a claim it made before (its folder was replaced on
    // disk since) is given up.
    auto mine = m_claimOf.find(path);
    if (mine != m_claimOf.end()) {
        if (mine->second.index == index) {
            if (volume) mine->second.volume = volume;
            return true;
        }
        ForgetClaim(path);
    }
    m_claimOf.emplace(path, SClaim{index, volume});
    m_byIndex.emplace(index, path);
    return true;
}

void CFolderList::ForgetClaim(const std::wstring& path) {
    auto it = m_claimOf.find(path);
    if (it == m_claimOf.end()) return;
    auto range = m_byIndex.equal_range(it->second.index);
    for (auto at = range.first; at != range.second; ++at) {
        if (at->second != path) continue;
        m_byIndex.erase(at);
        break;
    }
    m_claimOf.erase(it);
}
