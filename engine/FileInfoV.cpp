#include "engine/FileInfoV.h"

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
    if (paths_ && !paths_->count(KeyOf(path))) return npos;
    for (size_t i = 0; i < members_.size(); ++i)
        if (members_[i].HasPath(path, folders)) return i;
    return npos;
}

bool CFileInfoV::HasPath(const std::wstring& path, const CFolderNames& folders) const {
    if (paths_) return paths_->count(KeyOf(path)) != 0;
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
    members_.insert(members_.begin() + static_cast<std::ptrdiff_t>(at < members_.size() ? at : members_.size()),
                    std::move(member));
    if (paths_) {
        paths_->insert(KeyOf(path));
    } else if (members_.size() >= kIndexFrom) {
        paths_ = std::make_unique<std::unordered_set<SPathKey, SPathKeyHash>>();
        for (const CPackedFile& m : members_) paths_->insert(KeyOf(m.Unpack(folders).strPath));
    }
}

void CFileInfoV::Erase(size_t at, const std::wstring& path) {
    members_.erase(members_.begin() + static_cast<std::ptrdiff_t>(at));
    if (paths_) paths_->erase(KeyOf(path));
}
