#pragma once
// The record the scan makes of a file on disk, for tests that fill results themselves.
#include <string>

#include "engine/FileDigest.h"
#include "engine/FileInfo.h"
#include "engine/FileStatus.h"

inline SFileInfo OnDisk(const std::wstring& path, bool digest = false) {
    SFileInfo r;
    r.strName = path.substr(path.rfind(L'\\') + 1);
    r.strPath = path;
    ReadFileStatus(path, r.nSize, r.strTime);
    if (digest) r.strMD5 = DigestOfFile(path);
    return r;
}
