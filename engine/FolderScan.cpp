#include "engine/FolderScan.h"

#include <algorithm>
#include <thread>

#include "engine/FileDigest.h"
#include "engine/FileError.h"
#include "engine/FileIdentity.h"
#include "engine/FileStatus.h"
#include "engine/FindFlags.h"
#include "engine/FolderListing.h"
#include "engine/LongPath.h"
#include "engine/PassedOver.h"
#include "win/Format.h"

namespace {

constexpr uint64_t kMiB = 1048576;

// Whole digests of files from this size run beside the walk. Below it a file costs
// mostly its open and read round trips, which a second thread barely shortens under
// Wine, and handing it over would cost more than it saves; above it hashing costs
// milliseconds, enough to keep a second core busy.
constexpr uint64_t kPooledFrom = kMiB;
// Files queued behind a digest still running, at most: the walk waits beyond it.
constexpr size_t kMostPending = 4096;

unsigned CoresToUse() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : std::min(cores, 4u);
}

std::wstring JoinPath(const std::wstring& folder, std::wstring_view name) {
    std::wstring path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).append(1, L'\\').append(name);
    return path;
}

}  // namespace

CFolderScan::CFolderScan(const FindSettingStruct& settings, CFileInfoMap& map,
                         const std::atomic<unsigned>& findFlags, std::atomic<int>& fileCount,
                         IScanReport* report)
    : m_settings(settings), m_map(map), m_flags(findFlags), m_fileCount(fileCount),
      m_report(report), m_pool(CoresToUse()) {}

void CFolderScan::SetDigestThreads(unsigned threads) { m_pool.SetThreads(std::max(threads, 1u)); }

void CFolderScan::SetPauses(DWORD entryMs, DWORD folderMs) {
    m_entryPause = entryMs;
    m_folderPause = folderMs;
}

std::wstring CFolderScan::CounterText(int folderCount, int fileCount) {
    return win::Format(L"文件夹:%d|文件:%d", folderCount, fileCount);
}

void CFolderScan::StopCheck() const { CheckFindStop(m_flags.load()); }

void CFolderScan::Pause(DWORD ms) {
    if (ms == 0 || m_fast) return;
    ++m_pausesTaken;
    Sleep(ms);
}

void CFolderScan::Status(const wchar_t* label, const std::wstring& path) const {
    if (!m_report) return;
    // Built by hand, once per file: the same text as the printf form, one allocation.
    std::wstring text;
    const size_t length = wcslen(label);
    text.reserve(length + path.size());
    text.append(label, length).append(path);
    m_report->Status(text);
}

void CFolderScan::PrepareSearch() {
    m_fileCount = 0;
    auto lock = m_map.Lock();
    m_map.SetCriteria(m_settings.CriteriaBits());
    m_map.SetSimilarName(m_settings.FindSimularFile);
}

CFolderScan::FileRules CFolderScan::RulesFor(const std::wstring& extension) const {
    auto lock = m_map.Lock();
    FileRules rules;
    const ExtensionList& list = m_settings.ExtList;
    switch (m_settings.FileExtType) {
    case kOnlyListed: rules.pass = list.empty() || list.Contains(extension); break;
    case kAllButListed: rules.pass = list.empty() || !list.Contains(extension); break;
    default: rules.pass = true; break;
    }
    rules.digest = m_settings.FindMD5File != 0;
    rules.md5MaxSize = m_settings.Md5MaxSize;
    rules.expand = m_settings.ExpandItem != 0;
    rules.stripExtension = m_settings.FileExtType == kIgnoreExtension;
    return rules;
}

void CFolderScan::SearchNextFolder() {
    SFolderItem folder = m_map.Folders.TakeNextFolder();
    if (folder.strPath.empty()) return;
    // A clear (or a re-search) while this folder is listed empties the folder list:
    // the subfolders met from then on are not queued again behind it.
    const unsigned clears = m_map.Clears();
    {
        auto lock = m_map.Lock();
        m_fast = m_settings.FastSearch == 1;
    }
    const std::wstring& path = folder.strPath;
    Status(L"文件夹:", path);

    // A folder that another entry has listed already (the same folder under another
    // spelling, or reached through a link) is not listed again: each file of it would
    // join its own group as a second member.
    CFolderListing listing(path);
    m_volume = m_fast ? VolumeSerialOf(path) : std::nullopt;
    const std::optional<uint64_t> index = listing.Index();
    const bool listable = !index || m_map.Folders.ClaimFolder(path, *index, FileIdentityOf);

    SFolderEntry entry;
    if (listable && listing.Start(entry)) {
        try {
            for (;;) {
                StopCheck();
                const std::wstring_view name = entry.name;
                if (name != L"." && name != L"..") {
                    // The recycle bin and the restore points hold no copy the user
                    // keeps: a bin's twin kept in place of a live file would end with
                    // the bin's next emptying.
                    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
                        std::wstring sub = JoinPath(path, name);
                        // A linked folder is followed only as deep as a plain walk
                        // would reach, so a link loop cannot grow paths without end.
                        bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
                        if (folder.bSubFolder && (!link || sub.size() < MAX_PATH) && !IsSystemFolderName(name) &&
                            m_map.Clears() == clears)
                            m_map.Folders.AddFolder(sub, true);
                    } else if (!IsOwnTemporaryName(name)) {
                        ExamineFile(path, entry);
                    }
                }
                bool more = listing.Next(entry);
                Pause(m_entryPause);
                if (!more) break;
            }
        } catch (...) {
            listing.Close();
            try {
                Settle();
            } catch (...) {
            }
            if (m_report) m_report->RedrawResults();
            StopCheck();
            return;
        }
    }
    // The folder's files have all joined before it is said to be done, and before
    // a delete or move pass may take the results.
    try {
        Settle();
    } catch (...) {
        listing.Close();
        if (m_report) m_report->RedrawResults();
        StopCheck();
        return;
    }
    if (m_report) m_report->FolderDone(L"文件夹搜索完成:" + path);
    listing.Close();
    Pause(m_folderPause);
    StopCheck();
    if (m_fast && !m_map.Folders.HasPending()) {
        // Nothing left to search: what was read is kept for the next run.
        m_map.Stored.Save();
        if (m_report) m_report->Idle();
    }
}

void CFolderScan::Digest(SPending& pending) {
    SFileInfo& record = pending.record;
    Status(L"正在计算文件MD5:", record.strPath);
    if (m_fast)
        if (std::optional<std::wstring> known = m_map.Digests.Find(record.strPath, record.nSize, record.strTime)) {
            record.strMD5 = *known;
            return;
        }
    // A stop during a large file ends the digest between two blocks.
    if (!m_fast) {
        record.strMD5 = DigestOfFile(record.strPath, [this] { StopCheck(); });
        return;
    }
    if (m_pool.Threads() > 1 && record.nSize >= kPooledFrom) {
        pending.job = m_pool.Submit([this, path = record.strPath, size = record.nSize] {
            return DigestOfFileStored(path, m_map.Stored, [this] { StopCheck(); }, size);
        });
        return;
    }
    record.strMD5 = DigestOfFileStored(record.strPath, m_map.Stored, [this] { StopCheck(); }, record.nSize);
    m_map.Digests.Store(record.strPath, record.nSize, record.strTime, record.strMD5);
}

void CFolderScan::Enqueue(SPending pending) {
    pending.clears = m_map.Clears();
    if (m_pending.empty() && !pending.job) {
        Commit(pending);
        return;
    }
    m_pending.push_back(std::move(pending));
    CommitReady(false);
    // No more digests at once than the pool has threads, and a bounded queue.
    while (!m_pending.empty() && (m_pool.Busy() > m_pool.Threads() || m_pending.size() > kMostPending)) {
        m_pool.Wait(*m_pending.front().job);
        CommitReady(false);
    }
}

void CFolderScan::CommitReady(bool all) {
    while (!m_pending.empty()) {
        SPending& head = m_pending.front();
        if (head.job) {
            if (!all && !m_pool.Ended(*head.job)) return;
            try {
                head.record.strMD5 = m_pool.Take(*head.job);
            } catch (const CFileError&) {
                // Unreadable: passed over, as when it is digested in the walk.
                m_pending.pop_front();
                continue;
            }
            head.job.reset();
            m_map.Digests.Store(head.record.strPath, head.record.nSize, head.record.strTime, head.record.strMD5);
        }
        SPending next = std::move(head);
        m_pending.pop_front();
        Commit(next);
    }
}

void CFolderScan::Settle() {
    try {
        CommitReady(true);
    } catch (...) {
        DropPending();
        throw;
    }
}

void CFolderScan::DropPending() {
    // Every digest still running ends soon on a stop; none may read a file after the
    // step, when a pass may take it.
    for (SPending& pending : m_pending) {
        if (pending.job) m_pool.Wait(*pending.job);
        if (pending.join && pending.clears == m_map.Clears()) WaitAgain(pending.record, pending.byBlocks, pending.signature);
    }
    m_pending.clear();
}

bool CFolderScan::DigestWaitingTwin(const SFileInfo& record) {
    SFileInfo waiting;
    switch (m_map.NoteSize(record, m_fast, waiting)) {
    case CFileInfoMap::ESizeSeen::First:
        // Fast: nothing of this size to match yet, so nothing is read.
        return !m_fast;
    case CFileInfoMap::ESizeSeen::Before:
        return BlocksAgree(record);
    case CFileInfoMap::ESizeSeen::Waiting:
        break;
    }
    // The first file of this size goes on as it would have when it was found:
    // through the block stage, and into the groups before this one.
    bool now = false;
    try {
        now = BlocksAgree(waiting);
    } catch (const CFileError&) {
        now = false;   // unreadable by now: it is passed over, as it would have been
    } catch (...) {
        m_map.WaitAgain(std::move(waiting));
        throw;
    }
    if (now) JoinWaiting(waiting, false, 0);
    try {
        return BlocksAgree(record);
    } catch (const CFileError&) {
        return true;   // the whole read fails the same way, and passes the file over
    }
}

bool CFolderScan::BlocksAgree(const SFileInfo& record) {
    // The default pace reads every file of a shared size whole, as it always did.
    if (!m_fast || record.nSize <= kStagedFrom) return true;
    const uint64_t signature = QuickSignatureOfFile(record.strPath, record.nSize);
    SFileInfo waiting;
    switch (m_map.NoteBlocks(record, signature, waiting)) {
    case CFileInfoMap::ESizeSeen::First:
        return false;   // no other file shares these blocks yet: it waits unread
    case CFileInfoMap::ESizeSeen::Before:
        return true;
    case CFileInfoMap::ESizeSeen::Waiting:
        break;
    }
    JoinWaiting(waiting, true, signature);
    return true;
}

void CFolderScan::WaitAgain(SFileInfo& waiting, bool byBlocks, uint64_t signature) {
    if (byBlocks)
        m_map.WaitAgainForBlocks(waiting, signature);
    else
        m_map.WaitAgain(waiting);
}

void CFolderScan::JoinWaiting(SFileInfo& waiting, bool byBlocks, uint64_t signature) {
    SPending pending;
    pending.join = true;
    pending.byBlocks = byBlocks;
    pending.signature = signature;
    pending.record = std::move(waiting);
    try {
        Digest(pending);
    } catch (const CFileError&) {
        return;   // unreadable by now: it is passed over, as it would have been
    } catch (...) {
        WaitAgain(pending.record, byBlocks, signature);
        throw;
    }
    Enqueue(std::move(pending));
}

void CFolderScan::ExamineFile(const std::wstring& folder, const SFolderEntry& entry) {
    StopCheck();
    const std::wstring_view name = entry.name;
    size_t dot = name.rfind(L'.');
    const std::wstring extension = dot == std::wstring_view::npos ? std::wstring() : std::wstring(name.substr(dot + 1));
    const FileRules rules = RulesFor(extension);
    if (!rules.pass) return;
    StopCheck();

    SFileInfo record;
    record.strPath = JoinPath(folder, name);
    Status(L"文件:", record.strPath);

    if (m_fast) {
        // The listing has just read the same status: asking the file again would
        // cost a round trip per file.
        record.nSize = entry.size;
        record.strTime = FormatFileTime(entry.lastWrite);
    } else if (!ReadFileStatus(record.strPath, record.nSize, record.strTime)) {
        // A file that vanished since the listing, or whose status cannot be read, is
        // passed over rather than recorded with made-up values.
        return;
    }

    if (rules.digest && rules.md5MaxSize > 0 &&
        record.nSize > static_cast<uint64_t>(rules.md5MaxSize) * kMiB) {
        Status(L"文件过大:", record.strPath);
        return;
    }

    record.strName = rules.stripExtension && dot != std::wstring_view::npos ? name.substr(0, dot) : name;

    SPending pending;
    pending.expand = rules.expand;
    if (rules.digest && m_fast && entry.fileId && m_volume) {
        // Kept from an earlier run and still valid: known without opening the file,
        // whether it is digested now or waits for a twin.
        const CDigestStore::SStatus status{entry.size, (static_cast<uint64_t>(entry.lastWrite.dwHighDateTime) << 32) |
                                                           entry.lastWrite.dwLowDateTime};
        if (std::optional<std::wstring> kept = m_map.Stored.Find(SFileId{*m_volume, entry.fileId}, status))
            m_map.Digests.Store(record.strPath, record.nSize, record.strTime, *kept);
    }
    if (rules.digest) {
        // A file kept waiting is packed into the map and joins the groups later.
        pending.waits = !DigestWaitingTwin(record);
        pending.record = std::move(record);
        // One unreadable file (locked, read error) is passed over alone; the rest
        // of the folder is still examined.
        if (!pending.waits) {
            try {
                Digest(pending);
            } catch (const CFileError&) {
                return;
            }
        }
    } else {
        pending.record = std::move(record);
    }
    Enqueue(std::move(pending));
    StopCheck();
}

void CFolderScan::Commit(SPending& pending) {
    const SFileInfo& record = pending.record;
    int added = 1, groupSize = 0, folderCount, fileCount;
    unsigned clears;
    SFileInfo first;
    {
        auto lock = m_map.Lock();
        // Found before the results were cleared: it went with them.
        const bool cleared = pending.clears != m_map.Clears();
        if (pending.join) {
            if (!cleared) m_map.AddFile(record);
            return;
        }
        // A file waiting for a twin is counted now and joins the groups when one comes.
        if (!pending.waits && !cleared) added = m_map.AddFile(record, groupSize, first);
        clears = m_map.Clears();
        // A file already in its group (a folder searched again) gets no second row.
        if (added != 0) groupSize = 0;
        fileCount = ++m_fileCount;
        folderCount = m_map.Folders.FolderCount();
    }
    StopCheck();
    if (m_report) m_report->Counters(folderCount, fileCount);

    if (groupSize > 1) {
        StopCheck();
        if (m_report) {
            if (groupSize == 2)
                m_report->GroupReachedTwo(first, record, pending.expand, clears);
            else
                m_report->GroupGrew(first, record, clears);
        }
    }
}
