#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/ContentCompare.h"
#include "engine/FileIdentity.h"

class CFileInfoMap;

// The file a pass is about to give up, as it is on disk now.
struct SGivenFile {
    SFileId id;
    uint64_t size = 0;
    std::wstring time;
};

// What CopyBesides found of the kept files of a group.
enum class EKeptCopy {
    Found,        // a kept copy is there (with the same bytes, when they were compared)
    Gone,         // none is on disk still matching the group as another file
    Differs,      // kept copies are there, but none holds the same bytes
    Unreadable,   // a kept copy is there, but it could not be read to compare
};

// The files of one group that a delete or move pass leaves in place. A file of the
// group is given up only while one of them is on disk, still a member of that group,
// and a different file from it (not the same file under another name, a link or a
// junction). A file in a recycle bin is never kept: the bin's next emptying ends it.
// No window code: the results' rows are handed in as names and paths.
class CKeptCopies {
public:
    explicit CKeptCopies(const CFileInfoMap& map) : map_(map) {}

    // A new group: no kept file yet.
    void Reset();
    void Keep(const std::wstring& name, const std::wstring& path);
    // Looks for a kept file that is on disk now as a member of the group with this key
    // and is not the file `given`. With `sameBytes`, that file must also hold the same
    // bytes as the one given up (it is asked with the kept file's path). The first kept
    // file found is checked in full (its digest too, when that criterion is on) and
    // later only for its identity, size and time, so a group of many copies does not
    // read its kept file again.
    EKeptCopy CopyBesides(const std::wstring& groupKey, const SGivenFile& given,
                          const std::function<ESameBytes(const std::wstring& keptPath)>& sameBytes = nullptr);

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

// One file on disk, whatever names lead to it. The file index decides; the volume
// serial too, except that two paths with one index, size and time are one file even
// where the serials differ (one share reached through two names reports two serials).
bool SameFileOnDisk(const SFileId& a, uint64_t sizeA, const std::wstring& timeA, const SFileId& b, uint64_t sizeB,
                    const std::wstring& timeB);
