#pragma once
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <windows.h>

#include "engine/DigestPool.h"
#include "engine/FileInfoMap.h"
#include "engine/FolderListing.h"
#include "engine/IScanReport.h"
#include "settings/FindSettingStruct.h"

// The search worker's work: one pending folder per SearchNextFolder, its files into
// the groups, progress through IScanReport. No window code; the report may be null.
// The settings record is read under the map's data lock, so whoever changes it
// during a run should hold that lock while doing so.
class CFolderScan {
public:
    CFolderScan(const FindSettingStruct& settings, CFileInfoMap& map,
                const std::atomic<unsigned>& findFlags, std::atomic<int>& fileCount,
                IScanReport* report);

    // Pauses after every directory entry and after closing a folder; FastSearch 1
    // makes both zero.
    void SetPauses(DWORD entryMs, DWORD folderMs);

    // Threads that digest large files beside the walk (fast pace); 1 digests them
    // on the walk's own thread. Set between runs.
    void SetDigestThreads(unsigned threads);

    // Once per run, before the first step: resets the count, hands over the criteria.
    void PrepareSearch();
    // One step: the next pending folder, or nothing when none is pending. Lets the
    // stop signal of CheckFindStop out and absorbs every other failure.
    void SearchNextFolder();

    // FastSearch as the current step took it (worker thread).
    bool Fast() const { return m_fast; }
    // Pauses slept so far (worker thread).
    unsigned PausesTaken() const { return m_pausesTaken; }

    // Text of the counters field.
    static std::wstring CounterText(int folderCount, int fileCount);

private:
    struct FileRules {
        bool pass = false;   // the extension filter lets the file through
        bool digest = false;
        int md5MaxSize = 0;
        bool expand = false;
        bool stripExtension = false;   // names compare without their extension
    };

    // A file the walk has examined, on its way into the groups. Files join in the
    // order the walk found them, whichever digest ends first.
    struct SPending {
        SFileInfo record;
        std::shared_ptr<CDigestPool::SJob> job;   // null: record.strMD5 is final
        bool join = false;       // a file that waited for a twin: added alone
        // join: how it is put back when the search stops first.
        bool byBlocks = false;
        uint64_t signature = 0;
        // Otherwise: the file counts and shows its rows.
        bool waits = false;      // it waits for a twin: only counted
        bool expand = false;
        unsigned clears = 0;     // a clear since it was found leaves it out
    };

    void ExamineFile(const std::wstring& folder, const SFolderEntry& entry);
    // The digest of a file, from the cache when the fast pace has read it before;
    // a large file's is started on the pool when it has threads (pending.job).
    void Digest(SPending& pending);
    // Queues a file behind those still waiting for their digests, or lets it join.
    void Enqueue(SPending pending);
    // Lets the queued files join whose digests have ended; `all`: every one, waiting.
    void CommitReady(bool all);
    void Commit(SPending& pending);
    // Every queued file joins, or on a stop none does: a file that waited for a twin
    // waits again, the rest were never reached. No digest runs afterwards.
    void Settle();
    void DropPending();
    // Fast pace: false when the file is the first of its size and waits undigested
    // (the record is then moved into the map); a file of its size that was waiting
    // is digested and added first.
    bool DigestWaitingTwin(const SFileInfo& record);
    // Fast, a file above kStagedFrom: true once another file of its size shares its
    // first and last blocks (the one that waited for it joins the groups first);
    // false while it waits undigested. Throws CFileError when the blocks cannot be read.
    bool BlocksAgree(const SFileInfo& record);
    // A waiting file digested and added; `waitAgain` puts it back on a stop.
    void JoinWaiting(SFileInfo& waiting, bool byBlocks, uint64_t signature);
    void WaitAgain(SFileInfo& waiting, bool byBlocks, uint64_t signature);
    FileRules RulesFor(const std::wstring& extension) const;
    void StopCheck() const;
    void Pause(DWORD ms);
    // The status text label + path.
    void Status(const wchar_t* label, const std::wstring& path) const;

    const FindSettingStruct& m_settings;
    CFileInfoMap& m_map;
    const std::atomic<unsigned>& m_flags;
    std::atomic<int>& m_fileCount;
    IScanReport* m_report;
    DWORD m_entryPause = 5;
    DWORD m_folderPause = 5;
    bool m_fast = false;   // FastSearch, taken at the start of each step
    unsigned m_pausesTaken = 0;
    std::optional<uint32_t> m_volume;   // serial of the volume of the folder listed
    CDigestPool m_pool;
    std::deque<SPending> m_pending;
};
