#pragma once
#include <optional>
#include <string>
#include <vector>

#include "engine/FileIdentity.h"

class CFileInfoMap;

// The files of one group that a delete or move pass leaves in place. A file of the
// group is given up only while one of them is on disk, still a member of that group,
// and a different file from it (not the same file under another name, a link or a
// junction). No window code: the results' rows are handed in as names and paths.
class CKeptCopies {
public:
    explicit CKeptCopies(const CFileInfoMap& map) : map_(map) {}

    // A new group: no kept file yet.
    void Reset();
    void Keep(const std::wstring& name, const std::wstring& path);
    // True when a kept file is on disk now as a member of the group with this key and
    // is not the file `given` names. The first kept file found is checked in full
    // (its digest too, when that criterion is on) and later only for its identity,
    // size and time, so a group of many copies does not read its kept file again.
    bool CopyBesides(const std::wstring& groupKey, const SFileId& given);

private:
    struct SKept {
        std::wstring name, path;
        bool checked = false;   // found a member of `key` on disk
        std::wstring key;
        SFileId id;
        uint64_t size = 0;
        std::wstring time;
    };
    bool StillThere(SKept& kept, const std::wstring& groupKey);

    const CFileInfoMap& map_;
    std::vector<SKept> kept_;
};
