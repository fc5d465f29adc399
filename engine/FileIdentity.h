#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// What makes a file or folder one object on disk, whatever text names it: letter case,
// short names, "\\?\" forms, links and junctions all lead to the same identity.
struct SFileId {
    uint32_t volume = 0;   // volume serial number
    uint64_t index = 0;    // file index on that volume

    bool operator==(const SFileId& o) const { return volume == o.volume && index == o.index; }
    bool operator!=(const SFileId& o) const { return !(*this == o); }
};

struct SFileIdHash {
    size_t operator()(const SFileId& id) const { return static_cast<size_t>(id.index * 31 + id.volume); }
};

// The identity of what the path names now, links followed; none when it cannot be
// opened (missing, no access). Works for files and folders alike.
std::optional<SFileId> FileIdentityOf(const std::wstring& path);
// The file index alone (SFileId::index), without the volume serial, which costs
// several times more to read under Wine; none when it cannot be opened.
std::optional<uint64_t> FileIndexOf(const std::wstring& path);
// FileIndexOf for a file or folder already open (any access rights).
std::optional<uint64_t> FileIndexOfHandle(void* handle);
// The number of names (hard links) the file has; 0 when it cannot be opened.
unsigned FileLinkCount(const std::wstring& path);
