#include "engine/FolderScan.h"

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
      m_report(report) {}

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
            if (m_report) m_report->RedrawResults();
            listing.Close();
            StopCheck();
            return;
        }
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

std::wstring CFolderScan::Digest(const SFileInfo& record) {
    Status(L"正在计算文件MD5:", record.strPath);
    if (m_fast)
        if (std::optional<std::wstring> known = m_map.Digests.Find(record.strPath, record.nSize, record.strTime))
            return *known;
    // A stop during a large file ends the step between two blocks.
    std::wstring digest = m_fast ? DigestOfFileStored(record.strPath, m_map.Stored, [this] { StopCheck(); }, record.nSize)
                                 : DigestOfFile(record.strPath, [this] { StopCheck(); });
    if (m_fast) m_map.Digests.Store(record.strPath, record.nSize, record.strTime, digest);
    return digest;
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
    if (now) JoinWaiting(waiting, [&] { m_map.WaitAgain(waiting); });
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
    JoinWaiting(waiting, [&] { m_map.WaitAgainForBlocks(waiting, signature); });
    return true;
}

void CFolderScan::JoinWaiting(SFileInfo& waiting, const std::function<void()>& waitAgain) {
    try {
        waiting.strMD5 = Digest(waiting);
    } catch (const CFileError&) {
        return;   // unreadable by now: it is passed over, as it would have been
    } catch (...) {
        waitAgain();
        throw;
    }
    m_map.AddFile(waiting);
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

    bool waits = false;
    if (rules.digest) {
        // A file kept waiting is packed into the map and joins the groups later.
        waits = !DigestWaitingTwin(record);
        // One unreadable file (locked, read error) is passed over alone; the rest
        // of the folder is still examined.
        if (!waits) {
            try {
                record.strMD5 = Digest(record);
            } catch (const CFileError&) {
                return;
            }
        }
    }

    int added = 1, groupSize = 0, folderCount, fileCount;
    unsigned clears;
    SFileInfo first;
    {
        auto lock = m_map.Lock();
        // A file waiting for a twin is counted now and joins the groups when one comes.
        if (!waits) added = m_map.AddFile(record, groupSize, first);
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
                m_report->GroupReachedTwo(first, record, rules.expand, clears);
            else
                m_report->GroupGrew(first, record, clears);
        }
    }
    StopCheck();
}
