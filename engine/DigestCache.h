#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "engine/FolderNames.h"
#include "engine/PackedFile.h"

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
    // Packed, by the path's hash: a digest search of a whole disk keeps one per file.
    template <class Entries>
    static auto* EntryIn(Entries& entries, const CFolderNames& folders, const std::wstring& path);

    mutable std::mutex lock_;
    CFolderNames folders_;
    std::unordered_multimap<size_t, CPackedFile> entries_;
};
