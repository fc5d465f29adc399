#include "engine/PackedFile.h"

#include <cstring>

#include "engine/FileStatus.h"
#include "engine/MD5Checksum.h"

namespace {

// The fields of a time text in FormatFileTime's form, packed; false for any other
// text (it must come back unchanged).
bool PackTime(const std::wstring& text, uint64_t& packed) {
    static const wchar_t kAfter[] = {L'-', L'-', L' ', L':', L':', 0};
    unsigned fields[6];
    size_t at = 0;
    for (int f = 0; f < 6; ++f) {
        unsigned value = 0;
        size_t digits = 0;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9' && digits < 6) {
            value = value * 10 + (text[at++] - L'0');
            ++digits;
        }
        if (digits == 0 || value > (f == 0 ? 0xFFFFu : 0xFFu)) return false;
        if (kAfter[f] != 0) {
            if (at >= text.size() || text[at] != kAfter[f]) return false;
            ++at;
        }
        fields[f] = value;
    }
    if (at != text.size()) return false;
    if (FormatTimeFields(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]) != text) return false;
    packed = static_cast<uint64_t>(fields[0]) << 40;
    for (int f = 1; f < 6; ++f) packed |= static_cast<uint64_t>(fields[f]) << (8 * (5 - f));
    return true;
}

std::wstring UnpackTime(uint64_t packed) {
    auto field = [&](int f) { return static_cast<unsigned>(packed >> (8 * (5 - f)) & 0xFF); };
    return FormatTimeFields(static_cast<unsigned>(packed >> 40), field(1), field(2), field(3), field(4), field(5));
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;   // the digests made here are lower case; any other text is kept whole
}

bool PackDigest(const std::wstring& text, unsigned char bytes[16]) {
    if (text.size() != 32) return false;
    for (size_t i = 0; i < 16; ++i) {
        const int high = HexValue(text[2 * i]), low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        bytes[i] = static_cast<unsigned char>(high << 4 | low);
    }
    return true;
}

}  // namespace

CPackedFile::CPackedFile(const SFileInfo& record, CFolderNames* folders) {
    const size_t slash = folders ? record.strPath.rfind(L'\\') : 0;
    const std::wstring_view path = record.strPath;
    const std::wstring_view name =
        !folders || slash == std::wstring::npos ? std::wstring_view() : path.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    uint8_t flags = 0;
    uint64_t time = 0;
    unsigned char digest[16];
    bool packs = slash != std::wstring::npos && name.size() <= 0xFFFF;
    if (packs && folders) {
        if (record.strName == name) {
        } else if (dot != std::wstring_view::npos && record.strName == name.substr(0, dot)) {
            flags |= kStem;
        } else {
            packs = false;
        }
    }
    if (packs) {
        if (record.strTime.empty())
            flags |= kNoTime;
        else
            packs = PackTime(record.strTime, time);
    }
    if (packs && !record.strMD5.empty()) {
        packs = PackDigest(record.strMD5, digest);
        flags |= kDigest;
    }
    if (!packs) {
        whole_ = std::make_unique<SFileInfo>(record);
        return;
    }
    size_ = record.nSize;
    time_ = time;
    folder_ = folders ? folders->Number(path.substr(0, slash)) : 0;
    nameLength_ = static_cast<uint16_t>(name.size());
    flags_ = flags;
    const size_t lead = (flags & kDigest) ? kDigestUnits : 0;
    text_ = std::make_unique_for_overwrite<wchar_t[]>(lead + name.size());
    if (lead) std::memcpy(text_.get(), digest, 16);
    std::memcpy(text_.get() + lead, name.data(), name.size() * sizeof(wchar_t));
}

std::wstring_view CPackedFile::ListedName() const {
    if (whole_) {
        const size_t slash = whole_->strPath.rfind(L'\\');
        return std::wstring_view(whole_->strPath).substr(slash == std::wstring::npos ? 0 : slash + 1);
    }
    return {text_.get() + ((flags_ & kDigest) ? kDigestUnits : 0), nameLength_};
}

SFileInfo CPackedFile::Unpack(const CFolderNames& folders) const {
    if (whole_) return *whole_;
    SFileInfo record;
    const std::wstring_view name = ListedName();
    const std::wstring& folder = folders.Text(folder_);
    record.strPath.reserve(folder.size() + 1 + name.size());
    record.strPath.append(folder).append(1, L'\\').append(name);
    const size_t dot = name.rfind(L'.');
    record.strName = (flags_ & kStem) ? name.substr(0, dot) : name;
    record.strTime = TimeText();
    record.nSize = size_;
    record.strMD5 = DigestText();
    return record;
}

std::wstring CPackedFile::TimeText() const {
    if (whole_) return whole_->strTime;
    return (flags_ & kNoTime) ? std::wstring() : UnpackTime(time_);
}

std::wstring CPackedFile::DigestText() const {
    if (whole_) return whole_->strMD5;
    return (flags_ & kDigest) ? ::DigestText(reinterpret_cast<const unsigned char*>(text_.get())) : std::wstring();
}

bool CPackedFile::HasPath(const std::wstring& path, const CFolderNames& folders) const {
    if (whole_) return whole_->strPath == path;
    const std::wstring_view name = ListedName();
    const std::wstring& folder = folders.Text(folder_);
    return path.size() == folder.size() + 1 + name.size() && path[folder.size()] == L'\\' &&
           std::wstring_view(path).substr(folder.size() + 1) == name && path.compare(0, folder.size(), folder) == 0;
}

bool CPackedFile::SameTime(const CPackedFile& other) const {
    // Packing is exact both ways, so equal texts pack to equal numbers.
    if (!whole_ && !other.whole_) return (flags_ & kNoTime) == (other.flags_ & kNoTime) && time_ == other.time_;
    return TimeText() == other.TimeText();
}

bool CPackedFile::SameDigest(const CPackedFile& other) const {
    if (!whole_ && !other.whole_) {
        if ((flags_ & kDigest) != (other.flags_ & kDigest)) return false;
        return !(flags_ & kDigest) || std::memcmp(text_.get(), other.text_.get(), 16) == 0;
    }
    return DigestText() == other.DigestText();
}
