#include "engine/FileInfoV.h"

#include "settings/Criteria.h"

bool CFileInfoV::HasPath(const std::wstring& path) const {
    for (const SFileInfo& member : *this)
        if (member.strPath == path) return true;
    return false;
}

bool CFileInfoV::Accepts(unsigned char criteria, const SFileInfo& record) const {
    for (const SFileInfo& member : *this) {
        if (member.strPath == record.strPath) return false;
        if ((criteria & kSameTime) && member.strTime != record.strTime) continue;
        if ((criteria & kSameSize) && member.nSize != record.nSize) continue;
        if ((criteria & kSameDigest) && member.strMD5 != record.strMD5) continue;
        return true;
    }
    return false;
}

bool CFileInfoV::RemovePath(const std::wstring& path) {
    for (auto it = begin(); it != end(); ++it) {
        if (it->strPath == path) {
            erase(it);
            return true;
        }
    }
    return false;
}
