#include "engine/FileInfoV.h"

#include <algorithm>

#include "settings/Criteria.h"

CFileInfoV::SPathKey CFileInfoV::KeyOf(const std::wstring& path) {
    // FNV-1a over the code units: unrelated to the standard hash.
    uint64_t check = 14695981039346656037ull;
    for (wchar_t c : path) {
        check ^= static_cast<uint16_t>(c);
        check *= 1099511628211ull;
    }
    return {static_cast<uint64_t>(std::hash<std::wstring>{}(path)), check};
}

size_t CFileInfoV::Find(const std::wstring& path, const CFolderNames& folders) const {
    if (big_ && !big_->paths.count(KeyOf(path))) return npos;
    for (size_t i = 0; i < members_.size(); ++i)
        if (members_[i].HasPath(path, folders)) return i;
    return npos;
}

bool CFileInfoV::HasPath(const std::wstring& path, const CFolderNames& folders) const {
    if (big_) return big_->paths.count(KeyOf(path)) != 0;
    return Find(path, folders) != npos;
}

bool CFileInfoV::Accepts(unsigned char criteria, const CPackedFile& probe, const std::wstring& path,
                         const CFolderNames& folders) const {
    for (const CPackedFile& member : members_) {
        if (member.HasPath(path, folders)) return false;
        if ((criteria & kSameTime) && !member.SameTime(probe)) continue;
        if ((criteria & kSameSize) && member.Size() != probe.Size()) continue;
        if ((criteria & kSameDigest) && !member.SameDigest(probe)) continue;
        return true;
    }
    return false;
}

void CFileInfoV::Insert(size_t at, CPackedFile member, const std::wstring& path, const CFolderNames& folders) {
    const uint64_t size = member.Size();
    members_.insert(members_.begin() + static_cast<std::ptrdiff_t>(std::min(at, members_.size())), std::move(member));
    if (big_) {
        big_->paths.insert(KeyOf(path));
        big_->Add(size);
    } else if (members_.size() >= kIndexFrom) {
        big_ = std::make_unique<SBig>();
        for (const CPackedFile& m : members_) {
            big_->paths.insert(KeyOf(m.Unpack(folders).strPath));
            big_->Add(m.Size());
        }
    }
}

void CFileInfoV::Erase(size_t at, const std::wstring& path) {
    const uint64_t size = members_[at].Size();
    members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(at));
    if (!big_) return;
    big_->paths.erase(KeyOf(path));
    big_->sum -= size;
    if (size == big_->largest && --big_->largestCount == 0) {
        // The last of the largest went: the next largest is looked for once.
        big_->largest = 0;
        for (const CPackedFile& m : members_) {
            if (m.Size() > big_->largest) {
                big_->largest = m.Size();
                big_->largestCount = 0;
            }
            if (m.Size() == big_->largest) ++big_->largestCount;
        }
    }
}

void CFileInfoV::SBig::Add(uint64_t size) {
    sum += size;
    if (size > largest) {
        largest = size;
        largestCount = 0;
    }
    if (size == largest) ++largestCount;
}

uint64_t CFileInfoV::Spare() const {
    if (members_.size() < 2) return 0;
    if (big_) return big_->sum - big_->largest;
    uint64_t sum = 0, largest = 0;
    for (const CPackedFile& m : members_) {
        sum += m.Size();
        largest = std::max(largest, m.Size());
    }
    return sum - largest;
}
