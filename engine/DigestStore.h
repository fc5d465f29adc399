#pragma once
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "engine/FileIdentity.h"

// Digests that outlive the program, in one file of the config folder. An entry is
// keyed by the file's volume serial and file ID and holds for the size and full
// last-write time the file had when it was read; it is used only while both still
// match, and never when it was made within kTrustGap of the file's last write (a
// rewrite of the same size within one clock tick would not show). The passes never
// ask it: they read the disk.
//
// The file is versioned and checked: a damaged, foreign or newer file is ignored and
// rebuilt. It is written whole to a temporary file that then replaces it, so it is
// never half-written, also when the program is killed; two programs at once each
// write a whole file, merged with what the other wrote. It is bounded: past
// kMostEntries the entries not used for longest go first. Thread-safe.
class CDigestStore {
public:
    struct SStatus {
        uint64_t size = 0;
        uint64_t lastWrite = 0;   // FILETIME as one number
    };
    static constexpr uint64_t kTrustGap = 3 * 10000000ull;   // three seconds
    static constexpr size_t kMostEntries = 500000;
    // Tests try the bound on a few entries.
    void SetBound(size_t most) { bound_ = most; }

    // The file it lives in (empty: kept in memory only).
    void Open(const std::wstring& path);
    const std::wstring& Path() const { return path_; }
    std::optional<std::wstring> Find(const SFileId& id, const SStatus& status);
    // `madeAt`: when the digest's read began, FILETIME as one number.
    void Store(const SFileId& id, const SStatus& status, uint64_t madeAt, const std::wstring& digest);
    // Writes the file when something changed since it was read or written.
    bool Save();
    void Clear();
    size_t Count() const;
    // Bytes the file takes on disk now (0 when there is none).
    uint64_t FileBytes() const;

private:
    struct SEntry {
        uint64_t size = 0, lastWrite = 0, madeAt = 0, used = 0;
        unsigned char digest[16] = {};
    };
    using Entries = std::unordered_map<SFileId, SEntry, SFileIdHash>;
    static bool Read(const std::wstring& path, Entries& into);
    static bool Write(const std::wstring& path, const Entries& entries);

    mutable std::mutex lock_;
    std::wstring path_;
    Entries entries_;
    bool changed_ = false;
    bool cleared_ = false;
    size_t bound_ = kMostEntries;
};
