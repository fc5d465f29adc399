#include "engine/FileInfoMap.h"

#include <tuple>

#include "engine/FileDigest.h"
#include "engine/FileError.h"
#include "engine/FileStatus.h"
#include "engine/FreeLater.h"
#include "settings/Criteria.h"

using Guard = std::lock_guard<std::recursive_mutex>;

namespace {

inline unsigned FoldAscii(wchar_t c) {
    unsigned u = static_cast<unsigned short>(c);
    return (u >= L'A' && u <= L'Z') ? u + (L'a' - L'A') : u;
}

// Name before its last "." (whole name when it has none).
std::wstring StrippedName(const std::wstring& name) {
    size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

bool Similar(const std::wstring& a, const std::wstring& b) {
    return a.size() >= b.size() ? a.find(b) != std::wstring::npos
                                : b.find(a) != std::wstring::npos;
}

}  // namespace

bool c_less_ty::operator()(const std::wstring& a, const std::wstring& b) const {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned x = FoldAscii(a[i]), y = FoldAscii(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

uint64_t CFileInfoMap::KeyHash(const std::wstring& key) {
    // FNV-1a over the folded units: keys the map holds equal hash equal.
    uint64_t h = 14695981039346656037ull;
    for (wchar_t c : key) {
        h ^= FoldAscii(c);
        h *= 1099511628211ull;
    }
    return h;
}

bool CFileInfoMap::SameKey(const std::wstring& a, const std::wstring& b) const {
    const c_less_ty less;
    return !less(a, b) && !less(b, a);
}

const CPackedFile* CFileInfoMap::FindLone(const std::wstring& key) const {
    const uint64_t hash = KeyHash(key);
    auto [from, to] = m_lone[hash % kLoneShards].equal_range(hash);
    for (auto it = from; it != to; ++it)
        if (SameKey(MakeKey(it->second.Unpack(m_folderTexts)), key)) return &it->second;
    return nullptr;
}

void CFileInfoMap::EraseLone(const std::wstring& key, const CPackedFile* file) {
    const uint64_t hash = KeyHash(key);
    LoneShard& shard = m_lone[hash % kLoneShards];
    auto [from, to] = shard.equal_range(hash);
    for (auto it = from; it != to; ++it)
        if (&it->second == file) {
            shard.erase(it);
            return;
        }
}

void CFileInfoMap::GroupLoneFiles() {
    // Keyed as the present criteria key them, as their groups would have been.
    for (LoneShard& shard : m_lone) {
        for (auto& [hash, file] : shard) {
            const SFileInfo record = file.Unpack(m_folderTexts);
            iterator it = emplace(MakeKey(record), static_cast<uint32_t>(size())).first;
            CFileInfoV& group = GroupAt(it);
            if (!Holds(group, record.strPath)) Add(group, group.size(), record);
        }
        shard.clear();
    }
}

void CFileInfoMap::SetCriteria(unsigned char bits) {
    Guard guard(m_lock);
    if (bits != nCriteria) GroupLoneFiles();
    nCriteria = bits;
}

void CFileInfoMap::SetSimilarName(int flag) {
    Guard guard(m_lock);
    if (flag != bSimilarName) GroupLoneFiles();
    bSimilarName = flag;
}

std::wstring CFileInfoMap::MakeKey(const SFileInfo& record) const {
    Guard guard(m_lock);
    if ((nCriteria & kSameDigest) && !record.strMD5.empty()) return record.strMD5;
    std::wstring key = bSimilarName ? StrippedName(record.strName) : record.strName;
    if (nCriteria & kSameTime) {
        key += L'|';
        key += record.strTime;
    }
    if (nCriteria & kSameSize) {
        key += L'|';
        key += std::to_wstring(record.nSize);
    }
    return key;
}

bool CFileInfoMap::SimilarMode(const SFileInfo& record) const {
    return bSimilarName && (!(nCriteria & kSameDigest) || record.strMD5.empty());
}

CFileInfoMap::const_iterator CFileInfoMap::Locate(const SFileInfo& record) const {
    const_iterator found = find(MakeKey(record));
    if (found != end() || !SimilarMode(record)) return found;

    // Similar mode: the first group in key order whose name part and the record's
    // stripped name contain one another, and that accepts the record.
    const std::wstring stripped = StrippedName(record.strName);
    const CPackedFile probe = CPackedFile::Probe(record);
    for (const_iterator it = begin(); it != end(); ++it) {
        size_t bar = it->first.find(L'|');
        std::wstring namePart = bar == std::wstring::npos ? it->first : it->first.substr(0, bar);
        if (Similar(namePart, stripped) && GroupAt(it).Accepts(nCriteria, probe, record.strPath, m_folderTexts))
            return it;
    }
    return end();
}

CFileInfoMap::iterator CFileInfoMap::Locate(const SFileInfo& record) {
    const_iterator it = static_cast<const CFileInfoMap&>(*this).Locate(record);
    return erase(it, it);   // the standard way to drop const from a map iterator
}

CFileInfoV& CFileInfoMap::GroupAt(const_iterator it) {
    if (it->second >= m_groups.size()) m_groups.resize(it->second + 1);
    return m_groups[it->second];
}

const CFileInfoV& CFileInfoMap::GroupAt(const_iterator it) const {
    static const CFileInfoV kEmpty;
    return it->second < m_groups.size() ? m_groups[it->second] : kEmpty;
}

bool CFileInfoMap::Holds(const CFileInfoV& group, const std::wstring& path) const {
    return group.HasPath(path, m_folderTexts);
}

void CFileInfoMap::Add(CFileInfoV& group, size_t at, const SFileInfo& record) {
    Tally(group, false);
    group.Insert(at, CPackedFile(record, m_folderTexts), record.strPath, m_folderTexts);
    Tally(group, true);
}

void CFileInfoMap::Tally(const CFileInfoV& group, bool in) {
    if (group.size() < 2) return;
    if (in) {
        ++m_tallyGroups;
        m_tallySpare += group.Spare();
    } else {
        --m_tallyGroups;
        m_tallySpare -= group.Spare();
    }
}

int CFileInfoMap::AddFile(const SFileInfo& record) {
    int size;
    SFileInfo first;
    return AddFile(record, size, first);
}

int CFileInfoMap::AddFile(const SFileInfo& record, int& groupSize, SFileInfo& first) {
    Guard guard(m_lock);
    groupSize = 0;
    std::wstring key = MakeKey(record);
    iterator it = find(key);
    if (it == end() && SimilarMode(record)) it = Locate(record);
    if (it != end()) {
        // A similar group can let a record in through a member ahead of the one
        // with its own path: a group still never lists a file twice.
        if (Holds(GroupAt(it), record.strPath)) return -1;
        // The member that let the record in comes before it, so a later lookup of the
        // record finds this same group.
        CFileInfoV& group = GroupAt(it);
        Add(group, group.size(), record);
        groupSize = static_cast<int>(group.size());
        first = group.At(0, m_folderTexts);
        return 0;
    }
    if (!SimilarMode(record)) {
        const CPackedFile* lone = FindLone(key);
        if (!lone) {
            const uint64_t hash = KeyHash(key);
            m_lone[hash % kLoneShards].emplace(hash, CPackedFile(record, m_folderTexts));
            groupSize = 1;
            first = record;
            return 1;
        }
        if (lone->HasPath(record.strPath, m_folderTexts)) return -1;
        // The second file of the key: the group is made with the first one as it
        // would have been when that came.
        const SFileInfo waiting = lone->Unpack(m_folderTexts);
        EraseLone(key, lone);
        it = emplace(MakeKey(waiting), static_cast<uint32_t>(size())).first;
        CFileInfoV& group = GroupAt(it);
        Add(group, 0, waiting);
        Add(group, 1, record);
        groupSize = 2;
        first = waiting;
        return 0;
    }
    it = emplace(std::move(key), static_cast<uint32_t>(size())).first;
    Add(GroupAt(it), 0, record);
    groupSize = 1;
    first = record;
    return 1;
}

int CFileInfoMap::GetGroupSize(const SFileInfo& record) const {
    Guard guard(m_lock);
    const_iterator it = Locate(record);
    if (it == end()) return FindLone(MakeKey(record)) ? 1 : 0;
    return static_cast<int>(GroupAt(it).size());
}

bool CFileInfoMap::GetFirstFile(const SFileInfo& record, SFileInfo& first) const {
    Guard guard(m_lock);
    const_iterator it = Locate(record);
    if (it == end()) {
        const CPackedFile* lone = FindLone(MakeKey(record));
        if (!lone) return false;
        first = lone->Unpack(m_folderTexts);
        return true;
    }
    if (GroupAt(it).empty()) return false;
    first = GroupAt(it).At(0, m_folderTexts);
    return true;
}

bool CFileInfoMap::RecordFromDisk(const std::wstring& name, const std::wstring& path, SFileInfo& record) const {
    unsigned char criteria;
    {
        Guard guard(m_lock);
        criteria = nCriteria;
    }
    record.strName = name;
    record.strPath = path;
    const bool status = ReadFileStatus(path, record.nSize, record.strTime);
    if (criteria & kSameDigest) record.strMD5 = DigestOfFile(path);
    return status;
}

void CFileInfoMap::RemoveFile(const std::wstring& name, const std::wstring& path) { TakeFile(name, path); }

SRemovedFile CFileInfoMap::TakeFile(const std::wstring& name, const std::wstring& path) {
    SFileInfo record;
    SRemovedFile removed;
    if (!RecordFromDisk(name, path, record)) return removed;
    Guard guard(m_lock);
    iterator it = Locate(record);
    removed.clears = m_clears;
    if (it == end()) return removed;
    CFileInfoV& group = GroupAt(it);
    const size_t i = group.Find(path, m_folderTexts);
    if (i == CFileInfoV::npos) return removed;
    removed.found = true;
    removed.key = it->first;
    removed.position = i;
    removed.record = group.At(i, m_folderTexts);
    const SFileInfo& stored = removed.record;
    removed.unchanged = stored.nSize == record.nSize && stored.strTime == record.strTime &&
                        (stored.strMD5.empty() || stored.strMD5 == record.strMD5);
    Tally(group, false);
    group.Erase(i, path);
    Tally(group, true);
    return removed;
}

void CFileInfoMap::PutBack(const SRemovedFile& removed) {
    if (!removed.found) return;
    Guard guard(m_lock);
    if (removed.clears != m_clears) return;
    // Groups stay in the map once made, so the key still finds this one.
    iterator it = find(removed.key);
    if (it == end() || Holds(GroupAt(it), removed.record.strPath)) return;
    Add(GroupAt(it), removed.position, removed.record);
}

std::optional<std::wstring> CFileInfoMap::MemberKeyOnDisk(const std::wstring& name, const std::wstring& path) const {
    SFileInfo record;
    try {
        if (!RecordFromDisk(name, path, record)) return std::nullopt;
    } catch (const CFileError&) {
        return std::nullopt;
    }
    Guard guard(m_lock);
    const_iterator it = Locate(record);
    if (it == end() || !Holds(GroupAt(it), path)) return std::nullopt;
    return it->first;
}

int CFileInfoMap::GroupSizeOnDisk(const std::wstring& name, const std::wstring& path) {
    SFileInfo record;
    RecordFromDisk(name, path, record);
    return GetGroupSize(record);
}

void CFileInfoMap::ClearGroups() {
    Guard guard(m_lock);
    ++m_clears;
    // The keys stay, each naming an empty group now; the members go to another
    // thread to be freed.
    FreeLater(std::make_tuple(std::exchange(m_groups, {}), std::exchange(m_sizes, {}), std::exchange(m_blocks, {}),
                              std::exchange(m_lone, std::vector<LoneShard>(kLoneShards))));
    m_tallyGroups = 0;
    m_tallySpare = 0;
    // No record is left to name a folder by number.
    m_folderTexts.Clear();
}

std::vector<std::wstring> CFileInfoMap::MemberPathsNamed(const std::wstring& fileName) const {
    Guard guard(m_lock);
    std::vector<std::wstring> paths;
    for (const CFileInfoV& group : m_groups) {
        for (size_t i = 0; i < group.size(); ++i) {
            const std::wstring_view name = group[i].ListedName();
            if (CompareStringOrdinal(name.data(), static_cast<int>(name.size()), fileName.c_str(), -1, TRUE) ==
                CSTR_EQUAL)
                paths.push_back(group.At(i, m_folderTexts).strPath);
        }
    }
    for (const LoneShard& shard : m_lone) {
        for (const auto& [hash, file] : shard) {
            const std::wstring_view name = file.ListedName();
            if (CompareStringOrdinal(name.data(), static_cast<int>(name.size()), fileName.c_str(), -1, TRUE) ==
                CSTR_EQUAL)
                paths.push_back(file.Unpack(m_folderTexts).strPath);
        }
    }
    return paths;
}

CFileInfoMap::ESizeSeen CFileInfoMap::NoteSize(const SFileInfo& record, bool keepWaiting, SFileInfo& waiting) {
    Guard guard(m_lock);
    auto [it, first] = m_sizes.try_emplace(record.nSize);
    if (first) {
        if (keepWaiting) it->second.emplace(record, m_folderTexts);
        return ESizeSeen::First;
    }
    if (!it->second) return ESizeSeen::Before;
    waiting = it->second->Unpack(m_folderTexts);
    it->second.reset();
    return ESizeSeen::Waiting;
}

CFileInfoMap::ESizeSeen CFileInfoMap::NoteBlocks(const SFileInfo& record, uint64_t signature, SFileInfo& waiting) {
    Guard guard(m_lock);
    auto [it, first] = m_blocks.try_emplace(SBlocksKey{record.nSize, signature});
    if (first) {
        it->second.emplace(record, m_folderTexts);
        return ESizeSeen::First;
    }
    if (!it->second) return ESizeSeen::Before;
    waiting = it->second->Unpack(m_folderTexts);
    it->second.reset();
    return ESizeSeen::Waiting;
}

void CFileInfoMap::WaitAgainForBlocks(const SFileInfo& record, uint64_t signature) {
    Guard guard(m_lock);
    auto it = m_blocks.find(SBlocksKey{record.nSize, signature});
    if (it != m_blocks.end() && !it->second) it->second.emplace(record, m_folderTexts);
}

void CFileInfoMap::WaitAgain(const SFileInfo& record) {
    Guard guard(m_lock);
    auto it = m_sizes.find(record.nSize);
    if (it != m_sizes.end() && !it->second) it->second.emplace(record, m_folderTexts);
}

std::vector<SFileInfo> CFileInfoMap::Members(const SFileInfo& record) const {
    Guard guard(m_lock);
    std::vector<SFileInfo> members;
    const_iterator it = Locate(record);
    if (it == end()) {
        if (const CPackedFile* lone = FindLone(MakeKey(record))) members.push_back(lone->Unpack(m_folderTexts));
        return members;
    }
    const CFileInfoV& group = GroupAt(it);
    for (size_t i = 0; i < group.size(); ++i) members.push_back(group.At(i, m_folderTexts));
    return members;
}
