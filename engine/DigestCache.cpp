#include "engine/DigestCache.h"

std::optional<std::wstring> CDigestCache::Find(const std::wstring& path, uint64_t size,
                                               const std::wstring& time) const {
    std::lock_guard<std::mutex> guard(lock_);
    auto it = entries_.find(path);
    if (it == entries_.end() || it->second.size != size || it->second.time != time) return std::nullopt;
    return it->second.digest;
}

void CDigestCache::Store(const std::wstring& path, uint64_t size, const std::wstring& time,
                         const std::wstring& digest) {
    std::lock_guard<std::mutex> guard(lock_);
    entries_[path] = SEntry{size, time, digest};
}

void CDigestCache::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    entries_.clear();
}
