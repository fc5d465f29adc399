#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/FileInfo.h"
#include "engine/FolderNames.h"
#include "engine/PackedFile.h"

// One group of duplicates in order of arrival; member 0 is the group's first file.
// Members are packed; their folder texts are in the table the caller passes.
class CFileInfoV {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    size_t size() const { return members_.size(); }
    bool empty() const { return members_.empty(); }
    SFileInfo At(size_t i, const CFolderNames& folders) const { return members_[i].Unpack(folders); }
    const CPackedFile& operator[](size_t i) const { return members_[i]; }

    // The member's place, or npos.
    size_t Find(const std::wstring& path, const CFolderNames& folders) const;
    bool HasPath(const std::wstring& path, const CFolderNames& folders) const;
    // Criteria: CriteriaBit values; `probe` is CPackedFile::Probe of the record. The
    // first member with the record's path refuses, the first member agreeing on every
    // set bit accepts.
    bool Accepts(unsigned char criteria, const CPackedFile& probe, const std::wstring& path,
                 const CFolderNames& folders) const;
    void Insert(size_t at, CPackedFile member, const std::wstring& path, const CFolderNames& folders);
    void Erase(size_t at, const std::wstring& path);
    // The bytes the group's members take beyond its largest one: what giving up all
    // copies but one would free at least. Zero for a group of one.
    uint64_t Spare() const;

private:
    // Two independent 64-bit hashes of a path: a group of thousands of equal names
    // answers "does it hold this path" without walking its members.
    struct SPathKey {
        uint64_t hash, check;
        bool operator==(const SPathKey&) const = default;
    };
    struct SPathKeyHash {
        size_t operator()(const SPathKey& k) const { return static_cast<size_t>(k.hash); }
    };
    static SPathKey KeyOf(const std::wstring& path);
    // Small groups, nearly all of them, are walked and keep no index.
    static constexpr size_t kIndexFrom = 16;

    // A big group also keeps its sizes' sum and largest, so Spare need not walk it
    // at every member that comes or goes.
    struct SBig {
        std::unordered_set<SPathKey, SPathKeyHash> paths;
        uint64_t sum = 0, largest = 0;
        size_t largestCount = 0;   // members of the largest size
        void Add(uint64_t size);
    };

    std::vector<CPackedFile> members_;
    std::unique_ptr<SBig> big_;
};
