#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/FileInfo.h"
#include "engine/FolderNames.h"

// A record as the groups keep it, a sixth of its size as texts: its folder by
// number, its listed name once, its time and digest as numbers. Unpacks to the
// very record it was packed from; a record whose texts do not have the usual
// form (no folder in the path, a name that is not the listed one, an unusual time
// or digest text) is kept whole instead.
class CPackedFile {
public:
    CPackedFile() = default;
    CPackedFile(const SFileInfo& record, CFolderNames& folders) : CPackedFile(record, &folders) {}
    // The record's size, time and digest only, to compare members with; no folder
    // number is given for it.
    static CPackedFile Probe(const SFileInfo& record) { return CPackedFile(record, nullptr); }
    CPackedFile(CPackedFile&&) noexcept = default;
    CPackedFile& operator=(CPackedFile&&) noexcept = default;

    SFileInfo Unpack(const CFolderNames& folders) const;
    uint64_t Size() const { return whole_ ? whole_->nSize : size_; }
    // Without building the path.
    bool HasPath(const std::wstring& path, const CFolderNames& folders) const;
    // The last part of the path, as listed.
    std::wstring_view ListedName() const;
    bool SameTime(const CPackedFile& other) const;
    bool SameDigest(const CPackedFile& other) const;
    std::wstring TimeText() const;
    std::wstring DigestText() const;

private:
    CPackedFile(const SFileInfo& record, CFolderNames* folders);

    enum : uint8_t {
        kStem = 1,     // the name is the listed name without its extension
        kDigest = 2,   // digest bytes lead the text
        kNoTime = 4,   // the time text is empty
    };
    static constexpr size_t kDigestUnits = 16 / sizeof(wchar_t);

    uint64_t size_ = 0;
    uint64_t time_ = 0;   // year, month, day, hour, minute, second, a field per byte (year two)
    uint32_t folder_ = 0;
    uint16_t nameLength_ = 0;
    uint8_t flags_ = 0;
    std::unique_ptr<wchar_t[]> text_;   // the digest's bytes when it has one, then the listed name
    std::unique_ptr<SFileInfo> whole_;
};
