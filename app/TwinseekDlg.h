#pragma once
#include <map>
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "engine/FileInfoMap.h"
#include "engine/FindFlags.h"
#include "engine/FolderScan.h"
#include "engine/IScanReport.h"
#include "res/Messages.h"
#include "settings/DeleteSettingStruct.h"
#include "settings/FindSettingStruct.h"
#include "settings/MoveSettingStruct.h"
#include "update/StartupCheckThread.h"
#include "update/UpdateInfo.h"
#include "view/ColumnTreeCtrl.h"
#include "view/GroupRowIndex.h"
#include "view/ScanFeed.h"
#include "win/Dialog.h"
#include "win/Window.h"

// The main window: the whole program is this one modal dialog. It owns, for the
// whole run, the settings records, the groups and folder list, the results tree,
// the update descriptor, the search worker's handle and the two shared words.
class CTwinseekDlg : public win::Dialog, public IScanReport {
public:
    CTwinseekDlg();
    ~CTwinseekDlg() override;

    // --- state (declaration order as the window's data model) ---
    // The groups and the folder list. Their methods take the data lock themselves;
    // hold FileInfoMap.Lock() around a sequence that must see one state, never
    // across a message to the window thread.
    CFileInfoMap FileInfoMap;
    FindSettingStruct FindSetting;
    DeleteSettingStruct DeleteSetting;
    MoveSettingStruct MoveSetting;
    std::atomic<int32_t> UpdateShown{1};
    CUpdateInfo UpdateInfo;
    HANDLE FindThread = nullptr;
    std::atomic<uint32_t> FindFlags{0};
    HICON Icon = nullptr;
    HIMAGELIST ImageList = nullptr;  // the system's small-icon list, not owned
    std::atomic<int32_t> ClosingFlag{0};
    std::wstring LastFolder;
    std::wstring FolderText;
    win::Window StatusEdit;
    win::Window FolderEdit;
    win::Window FindButton;
    int SearchSubFolder = 1;
    CColumnTreeCtrl ResultTree;
    std::atomic<int32_t> FileCount{0};
    win::Window CountEdit;
    win::Window DeleteButton;
    POINT MenuPoint{};
    // Last, so that it is destroyed first: it waits for the start-up check, which uses
    // the members above.
    CStartupCheckThread UpdateCheckThread;

    // Group rows by the name they show, kept in step with the tree (see
    // CGroupRowIndex); the row operations use it instead of walking the rows.
    CGroupRowIndex GroupRows;
    // Expansion state of the expand-all toggle; set at its first press.
    std::optional<bool> ExpandState;
    // A start was asked for while the stopped worker had not ended yet: it runs
    // once that worker is joined.
    bool StartPending = false;
    CFolderScan Scan;
    // One pass at a time over the tree, the groups and the folder list: the search
    // worker holds it for each step, a delete or move worker for its whole pass. The
    // window thread never takes it (a worker holding it may be waiting in a message).
    std::mutex PassLock;
    // A delete or move pass has been started and has not ended yet.
    std::atomic<bool> FilePassRunning{false};
    // Fast mode: what the scan hands over without waiting, shown on the window's
    // tick (ResultRows.cpp); rows are held with redrawing off between repaints.
    CScanFeed Feed;
    std::atomic<bool> RowsHeld{false};
    DWORD LastRepaint = 0;
    DWORD RepaintInterval = 150;

    // --- start-up and housekeeping ---
    void OnAbout();        // 32794
    void OnHelpPage();     // 32795
    void OnExit();         // 32789 and WM_CLOSE
    void OnClearHistory(); // 1019
    void OnFindSetting();  // 1018

    // --- search run ---
    void OnFind();                            // 1004, 32800
    void OnAddFolder();                       // IDOK: button, menu, Enter
    void OnReFind();                          // 1010; also from the delete worker
    LRESULT OnFindDone(WPARAM wp, LPARAM lp); // WM_FIND_DONE
    // The worker's operations (on the worker thread).
    void PrepareSearch();
    void SearchNextFolder();
    // Fast mode with a folder still pending: the worker skips its pause.
    bool FastStepAhead() const;

    // --- results rows and commands ---
    LRESULT OnResultsRClick(NMHDR* hdr);   // NM_RCLICK from 1052
    LRESULT OnResultsClick(NMHDR* hdr);    // NM_CLICK from 1052
    LRESULT OnResultsDblClk(NMHDR* hdr);   // NM_DBLCLK from 1052
    void OnOpenFile();                     // 32775
    void OnOpenFolder();                   // 32776
    void OnCopyName();                     // 32777
    void OnCopyPath();                     // 32778
    void OnExpandAll();                    // 1056

    // --- update check ---
    void StartUpdateCheck();  // start-up: version info, then the background check
    void OnCheckUpdate();     // 1005
    // --- result rows (Worker thread or window thread; they reach the tree only by
    // messages and hold no lock across one) ---
    HTREEITEM AddGroupRow(const SFileInfo& first);
    HTREEITEM AddFileRow(HTREEITEM group, const SFileInfo& file);
    // Null when no group row shows `first`; nothing is added then.
    HTREEITEM AddFileToGroup(const SFileInfo& first, const SFileInfo& file);
    void ExpandAll(bool expand);
    // Deletes every row (with redrawing left as it is).
    void DeleteAllRows();
    // Redrawing of the results on or off, and a repaint of all of them at once.
    void SetResultsRedraw(bool on);
    void RepaintResults();

    // --- IScanReport (worker thread) ---
    void Status(const std::wstring& text) override;
    void Counters(int folderCount, int fileCount) override;
    void GroupReachedTwo(const SFileInfo& first, const SFileInfo& second, bool expand, unsigned clears) override;
    void GroupGrew(const SFileInfo& first, const SFileInfo& record, unsigned clears) override;
    void RedrawResults() override;
    void FolderDone(const std::wstring& text) override;
    void Idle() override;

    // Shows everything the feed holds and repaints held rows: directly on the
    // window's thread, through WM_SCAN_FLUSH (waiting for it) from any other.
    void FlushScanFeed();
    LRESULT OnScanTick(WPARAM wp, LPARAM lp);    // WM_TIMER
    LRESULT OnScanFlush(WPARAM wp, LPARAM lp);   // WM_SCAN_FLUSH
    LRESULT OnScanRows(WPARAM wp, LPARAM lp);    // WM_SCAN_ROWS

    // --- file operations ---
    void OnDeleteFiles();   // 1008, 32780
    void OnMoveFiles();     // 1027
    void OnExportList();    // 1024
    void OnCompareFiles();  // 1055, 32799
    // The user's re-search and clear-history commands (1010, 1019): refused while a
    // delete or move pass works on the rows and groups they would throw away.
    void OnReFindCommand();
    void OnClearHistoryCommand();
    // The delete worker's work (on that worker, PassLock held).
    void DeleteFiles();
    void DeleteKeepFirst();
    void DeleteChecked();
    // Removes the listed folders that are empty now and drops the vanished ones from
    // the folder list; the delete and move workers run it with PassLock held.
    void RemoveEmptyFolders();
    // The move worker's work (on that worker, PassLock held).
    void MoveFiles();
    void MoveChecked();
    void MoveKeepFirst();
    void MoveAll();

    TW_DECLARE_MSG_TABLE();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(win::DataExchange& dx) override;
    void OnOK() override {}       // IDOK is the add-folder command in the table
    void OnCancel() override;     // Esc: ends the program as safely as close

private:
    void InitResultTree();
    HTREEITEM InsertRow(HTREEITEM parent, HTREEITEM after, const std::wstring& text, const SFileInfo& file);
    void SetFileColumns(HTREEITEM row, const SFileInfo& file);
    HTREEITEM FileRowUnder(HTREEITEM group, const SFileInfo& file);
    void PauseRows(size_t rows);
    HTREEITEM GroupAnchor(const std::wstring& name);
    // The criteria as the grouping uses them now, read under the data lock.
    unsigned char GroupCriteria() const;
    HTREEITEM MatchingGroupRow(const SFileInfo& first, unsigned char criteria);
    // AddFileToGroup without its pause (on the window's thread).
    HTREEITEM AddFileToGroupRow(const SFileInfo& first, const SFileInfo& file);
    bool FastNow() const;
    HTREEITEM InsertLabelledRow(HTREEITEM parent, HTREEITEM after, const std::wstring& count, const SFileInfo& file);
    HTREEITEM LabelledFileRow(HTREEITEM group, const SFileInfo& file);
    // A grown group's new count goes to `counts` (its row, the count text) instead
    // of the row, to be set once for the whole batch.
    void ApplyGroupEvent(const CScanFeed::GroupEvent& event, std::map<HTREEITEM, std::wstring>& counts);
    void ApplyScanFeed(bool finish);
    HTREEITEM MenuRow();
    void StartRun();
    LRESULT OnReFindRequest(WPARAM wp, LPARAM lp);
    std::optional<LRESULT> OnSysCommand(WPARAM wp, LPARAM lp);
    std::optional<LRESULT> OnPaint(WPARAM wp, LPARAM lp);
    LRESULT OnQueryDragIcon(WPARAM wp, LPARAM lp);
    LRESULT OnCloseMessage(WPARAM wp, LPARAM lp);
};

// Shown while a start waits for the stopped search worker to end.
inline constexpr wchar_t kWaitingForStop[] = L"上次查找正在结束，结束后开始查找";

// The window's tick that shows the fast feed.
constexpr UINT_PTR kScanTickTimer = 0x5CA7;

// The search worker's entry; its argument is the main window.
unsigned __stdcall FindThreadProc(void* window);

// Formats into the status line (at most 1023 characters; longer text is cut).
// Callable from any thread: the text change is sent to the window's thread.
int ShowStatus(CTwinseekDlg* wnd, const wchar_t* format, ...);
// The formatting step of ShowStatus alone.
std::wstring FormatStatusText(const wchar_t* format, va_list args);

// The start-up update check, on its own worker: opens the notice through command 1005
// when a newer version is offered.
unsigned UpdateThreadProc(CTwinseekDlg* wnd);
// The delete worker's entry.
unsigned DeleteThreadProc(CTwinseekDlg* wnd);
// The move worker's entry.
unsigned MoveThreadProc(CTwinseekDlg* wnd);
