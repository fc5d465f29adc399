#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <windows.h>

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

    void ExamineFile(const std::wstring& folder, const SFolderEntry& entry);
    // The digest of a file, from the cache when the fast pace has read it before.
    std::wstring Digest(const SFileInfo& record);
    // Fast pace: false when the file is the first of its size and waits undigested
    // (the record is then moved into the map); a file of its size that was waiting
    // is digested and added first.
    bool DigestWaitingTwin(const SFileInfo& record);
    // Fast, a file above kStagedFrom: true once another file of its size shares its
    // first and last blocks (the one that waited for it joins the groups first);
    // false while it waits undigested. Throws CFileError when the blocks cannot be read.
    bool BlocksAgree(const SFileInfo& record);
    // A waiting file digested and added; `waitAgain` puts it back on a stop.
    void JoinWaiting(SFileInfo& waiting, const std::function<void()>& waitAgain);
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
};
