#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

// Digests already computed while the program runs, by path, each valid while the
// file keeps the size and last-write time it had then: a file examined again (a
// re-search, a folder searched again) is not read again. Forgotten with the search
// history. Thread-safe; its own lock is held only inside each call.
class CDigestCache {
public:
    std::optional<std::wstring> Find(const std::wstring& path, uint64_t size, const std::wstring& time) const;
    void Store(const std::wstring& path, uint64_t size, const std::wstring& time, const std::wstring& digest);
    void Clear();

private:
    struct SEntry {
        uint64_t size;
        std::wstring time;
        std::wstring digest;
    };
    mutable std::mutex lock_;
    std::unordered_map<std::wstring, SEntry> entries_;
};
