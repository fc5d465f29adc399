#pragma once
#include <string>
#include <vector>

#include "engine/FileInfo.h"

// One group of duplicates in order of arrival; member 0 is the group's first file.
class CFileInfoV : public std::vector<SFileInfo> {
public:
    virtual ~CFileInfoV() = default;

    bool HasPath(const std::wstring& path) const;
    // Criteria: CriteriaBit values. The first member with the record's
    // path refuses, the first member agreeing on every set bit accepts.
    bool Accepts(unsigned char criteria, const SFileInfo& record) const;
    // False when no member had the path.
    bool RemovePath(const std::wstring& path);
};
