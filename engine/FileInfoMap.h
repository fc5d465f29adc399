#pragma once
#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/DigestCache.h"
#include "engine/DigestStore.h"
#include "engine/FileInfo.h"
#include "engine/FileInfoV.h"
#include "engine/FolderList.h"

// Where TakeFile found a record, so that it can be put back when the file stays.
struct SRemovedFile {
    bool found = false;     // false: no group held the record; nothing to put back
    std::wstring key;       // the group's key
    size_t position = 0;    // its place in the group
    SFileInfo record;       // as it was stored
    // The file as it is on disk now has the stored size, time and (where the search
    // made one) digest: still what the search found, whatever the criteria compare.
    bool unchanged = false;
    unsigned clears = 0;    // ClearGroups calls before it was taken
};

// Key ordering of the groups: ASCII A-Z fold to a-z, then 16-bit code units compare
// as unsigned numbers; a prefix comes first. No other letters fold.
struct c_less_ty {
    bool operator()(const std::wstring& a, const std::wstring& b) const;
};

// All groups of a search by key, plus the folder list of the search.
//
// Locking: every method here and in Folders takes DataLock() itself (a recursive
// mutex); hold Lock() across a sequence that must see one state (AddFile, then
// GetGroupSize, GetFirstFile) and around any direct use of the std::map base.
// Never hold it across a SendMessage to the window thread.
//
// The map base gives each key its group's number and is for reading; groups are
// read and changed only through the methods here.
class CFileInfoMap : public std::map<std::wstring, uint32_t, c_less_ty> {
    // Declared first: Folders is built with it.
    mutable std::recursive_mutex m_lock;
    unsigned m_clears = 0;

public:
    CFileInfoMap() : Folders(m_lock) {}
    CFileInfoMap(const CFileInfoMap&) = delete;
    CFileInfoMap& operator=(const CFileInfoMap&) = delete;
    virtual ~CFileInfoMap() = default;

    std::recursive_mutex& DataLock() const { return m_lock; }
    std::unique_lock<std::recursive_mutex> Lock() const {
        return std::unique_lock<std::recursive_mutex>(m_lock);
    }

    // Criteria: CriteriaBit values (same time, size, digest).
    void SetCriteria(unsigned char bits);
    void SetSimilarName(int flag);

    std::wstring MakeKey(const SFileInfo& record) const;
    // 1 new group started, 0 joined a group, -1 that group already holds the path.
    int AddFile(const SFileInfo& record);
    // AddFile that also gives what GetGroupSize and GetFirstFile would say right
    // after it (size 0 when the path was already there), from the one lookup: in
    // similar mode that lookup is a walk over the groups.
    int AddFile(const SFileInfo& record, int& groupSize, SFileInfo& first);
    int GetGroupSize(const SFileInfo& record) const;
    // False (first untouched) when the record has no group or its group is empty.
    bool GetFirstFile(const SFileInfo& record, SFileInfo& first) const;
    // Both rebuild the record from the file as it is on disk now (digest included
    // when that criterion is set; CFileError passes out). The disk is read unlocked.
    void RemoveFile(const std::wstring& name, const std::wstring& path);
    int GroupSizeOnDisk(const std::wstring& name, const std::wstring& path);
    // RemoveFile that remembers where the record was. A file that has vanished, or
    // that no longer matches the group holding its path (edited, replaced), is left
    // where it is: `found` is false then.
    SRemovedFile TakeFile(const std::wstring& name, const std::wstring& path);
    // The key of the group that holds this path, when the file as it is on disk now
    // still belongs there; none when it vanished, cannot be read or has changed.
    std::optional<std::wstring> MemberKeyOnDisk(const std::wstring& name, const std::wstring& path) const;
    // Puts a taken record back at its place, unless its group holds that path again
    // or the groups were cleared since (a new search then finds the file itself).
    void PutBack(const SRemovedFile& removed);
    // Empties every group; the keys stay.
    void ClearGroups();
    // The groups of two files or more, and the bytes their copies beyond the
    // largest member take; kept as groups change, so reading them costs nothing
    // (any thread, no lock).
    struct STally {
        uint32_t groups = 0;
        uint64_t spare = 0;
    };
    STally Tally() const { return {m_tallyGroups.load(), m_tallySpare.load()}; }
    // How many times the groups were cleared: what was found before a clear must not
    // bring rows back after it.
    unsigned Clears() const {
        std::lock_guard<std::recursive_mutex> guard(m_lock);
        return m_clears;
    }
    // The paths of every member whose file name is `fileName`, letter case ignored as
    // the file system ignores it.
    std::vector<std::wstring> MemberPathsNamed(const std::wstring& fileName) const;

    // A content search that reads only what can match: a file whose size no other
    // file has had since the groups were last cleared cannot have a twin, and waits
    // here undigested until one comes. What NoteSize found:
    enum class ESizeSeen {
        First,     // the first of its size (kept waiting when asked to)
        Waiting,   // a file of this size was waiting: it is handed out, to be digested
        Before,    // files of this size came before and were digested
    };
    ESizeSeen NoteSize(const SFileInfo& record, bool keepWaiting, SFileInfo& waiting);
    // A waiting file handed out by NoteSize whose digest was not made (a stop) waits
    // again.
    void WaitAgain(const SFileInfo& record);
    // The second stage for larger files: a file whose first (and last) blocks no
    // other file of its size shared waits here undigested, by its size and the
    // number of those blocks (QuickSignatureOfFile), until one that shares them
    // comes. The same answers as NoteSize.
    ESizeSeen NoteBlocks(const SFileInfo& record, uint64_t signature, SFileInfo& waiting);
    void WaitAgainForBlocks(const SFileInfo& record, uint64_t signature);
    // The members of the group a lookup of `record` finds, in order.
    std::vector<SFileInfo> Members(const SFileInfo& record) const;

    int bSimilarName = 0;
    unsigned char nCriteria = 0;

    CFolderList Folders;
    CDigestCache Digests;
    // Digests kept between runs (the fast pace's content search asks it).
    CDigestStore Stored;

private:
    bool SimilarMode(const SFileInfo& record) const;
    iterator Locate(const SFileInfo& record);
    const_iterator Locate(const SFileInfo& record) const;
    // False when the file's status cannot be read (the record then has no size or time).
    bool RecordFromDisk(const std::wstring& name, const std::wstring& path, SFileInfo& record) const;

    // Folder texts of the records packed in the groups and of the files waiting.
    CFolderNames m_folderTexts;
    // Files whose key no other file has had: packed by the key's hash, outside the
    // map, until a second file brings their group into it. On a whole disk most files
    // are such, and a group of their own would cost them twice as much. Not used in
    // similar mode, where a new name is matched against every group.
    // In shards, so that no single table grows large enough to stall the window for
    // its rehash while the lock is held.
    using LoneShard = std::unordered_multimap<uint64_t, CPackedFile>;
    static constexpr size_t kLoneShards = 64;
    std::vector<LoneShard> m_lone = std::vector<LoneShard>(kLoneShards);
    static uint64_t KeyHash(const std::wstring& key);
    // The lone file with this key, or null.
    const CPackedFile* FindLone(const std::wstring& key) const;
    void EraseLone(const std::wstring& key, const CPackedFile* file);
    bool SameKey(const std::wstring& a, const std::wstring& b) const;
    // Before the criteria change: every lone file gets the group it would have had.
    void GroupLoneFiles();
    // Sizes met since the last clear, with the file still waiting for a twin, if any.
    std::unordered_map<uint64_t, std::optional<CPackedFile>> m_sizes;
    // The same for size and block signature together.
    struct SBlocksKey {
        uint64_t size, signature;
        bool operator==(const SBlocksKey&) const = default;
    };
    struct SBlocksKeyHash {
        size_t operator()(const SBlocksKey& k) const { return static_cast<size_t>(k.size * 1099511628211ull ^ k.signature); }
    };
    std::unordered_map<SBlocksKey, std::optional<CPackedFile>, SBlocksKeyHash> m_blocks;
    // The groups, numbered by the map. A clear hands them all over at once; a number
    // past the end names an empty group, made when something is added to it.
    std::vector<CFileInfoV> m_groups;
    CFileInfoV& GroupAt(const_iterator it);
    const CFileInfoV& GroupAt(const_iterator it) const;
    bool Holds(const CFileInfoV& group, const std::wstring& path) const;
    void Add(CFileInfoV& group, size_t at, const SFileInfo& record);
    // The group's share of the tally, taken out before it changes and put in after.
    void Tally(const CFileInfoV& group, bool in);
    std::atomic<uint32_t> m_tallyGroups{0};
    std::atomic<uint64_t> m_tallySpare{0};
};
