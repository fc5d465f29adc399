#include "engine/DigestCache.h"

#include <utility>

#include "engine/FreeLater.h"

namespace {

SFileInfo Record(const std::wstring& path, uint64_t size, const std::wstring& time, const std::wstring& digest) {
    const size_t slash = path.rfind(L'\\');
    return {slash == std::wstring::npos ? path : path.substr(slash + 1), path, time, size, digest};
}

}  // namespace

template <class Entries>
auto* CDigestCache::EntryIn(Entries& entries, const CFolderNames& folders, const std::wstring& path) {
    auto range = entries.equal_range(std::hash<std::wstring>{}(path));
    for (auto it = range.first; it != range.second; ++it)
        if (it->second.HasPath(path, folders)) return &it->second;
    return static_cast<decltype(&range.first->second)>(nullptr);
}

std::optional<std::wstring> CDigestCache::Find(const std::wstring& path, uint64_t size,
                                               const std::wstring& time) const {
    std::lock_guard<std::mutex> guard(lock_);
    const CPackedFile* entry = EntryIn(entries_, folders_, path);
    if (!entry || entry->Size() != size || !entry->SameTime(CPackedFile::Probe(Record(path, size, time, L""))))
        return std::nullopt;
    return entry->DigestText();
}

void CDigestCache::Store(const std::wstring& path, uint64_t size, const std::wstring& time,
                         const std::wstring& digest) {
    std::lock_guard<std::mutex> guard(lock_);
    CPackedFile packed(Record(path, size, time, digest), folders_);
    if (CPackedFile* entry = EntryIn(entries_, folders_, path)) {
        *entry = std::move(packed);
        return;
    }
    entries_.emplace(std::hash<std::wstring>{}(path), std::move(packed));
}

void CDigestCache::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    FreeLater(std::exchange(entries_, {}));
    folders_.Clear();
}
