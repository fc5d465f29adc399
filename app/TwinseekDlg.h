#pragma once
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
#include "fileops/LeftFiles.h"
#include "fileops/PassContext.h"
#include "res/Messages.h"
#include "settings/DeleteSettingStruct.h"
#include "settings/FindSettingStruct.h"
#include "settings/MoveSettingStruct.h"
#include "settings/ProtectedFolders.h"
#include "update/StartupCheckThread.h"
#include "update/UpdateInfo.h"
#include "view/ResultsView.h"
#include "win/AnchorLayout.h"
#include "win/Dialog.h"
#include "win/Handles.h"
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
    // The search worker, from its start until OnFindDone has joined it.
    win::UniqueHandle FindThread;
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
    // The results: their tree, its rows and the fast feed (see CResultsView).
    CResultsView ResultsView{FileInfoMap, FindSetting, FindFlags, ClosingFlag};
    CColumnTreeCtrl& ResultTree = ResultsView.Tree();
    std::atomic<int32_t> FileCount{0};
    win::Window CountEdit;
    win::Window DeleteButton;
    POINT MenuPoint{};
    // Last, so that it is destroyed first: it waits for the start-up check, which uses
    // the members above.
    CStartupCheckThread UpdateCheckThread;

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
    // A close came while a delete or move pass ran: the window goes when it ends.
    bool ExitAfterPass = false;
    // The files the last delete or move pass left, with why (文件 → 未能处理的文件).
    CLeftFiles LeftFiles;
    // Folders whose files no pass gives up and no tick reaches (右键 → 保护此文件夹).
    CProtectedFolders ProtectedFolders;

    // --- start-up and housekeeping ---
    void OnAbout();        // 32794
    void OnHelpPage();     // 32795
    void OnExit();         // 32789 and WM_CLOSE
    void OnClearHistory(); // 1019
    void OnFindSetting();  // 1018
    void OnDigestCache();  // 32810: the MD5 cache's size, and clearing it

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
    // --- what goes: the selection rules and protected folders ---
    void OnSelectNewest();                 // 32802
    void OnSelectOldest();                 // 32803
    void OnSelectShallowest();             // 32804
    void OnSelectFolder();                 // 32805 (row menu)
    void OnSelectNone();                   // 32806
    void OnSelectInvert();                 // 32807
    void OnProtect();                      // 32808 (row menu)
    void OnUnprotect();                    // 32809 (row menu)

    // --- update check ---
    void StartUpdateCheck();  // start-up: version info, then the background check
    void OnCheckUpdate();     // 1005
    // --- result rows: the results view's (any thread; messages only) ---
    HTREEITEM AddGroupRow(const SFileInfo& first) { return ResultsView.AddGroupRow(first); }
    HTREEITEM AddFileRow(HTREEITEM group, const SFileInfo& file) { return ResultsView.AddFileRow(group, file); }
    // Null when no group row shows `first`; nothing is added then.
    HTREEITEM AddFileToGroup(const SFileInfo& first, const SFileInfo& file) {
        return ResultsView.AddFileToGroup(first, file);
    }
    void ExpandAll(bool expand) { ResultsView.ExpandAll(expand); }

    // --- IScanReport (worker thread) ---
    void Status(const std::wstring& text) override;
    void Counters(int folderCount, int fileCount) override;
    void GroupReachedTwo(const SFileInfo& first, const SFileInfo& second, bool expand, unsigned clears) override;
    void GroupGrew(const SFileInfo& first, const SFileInfo& record, unsigned clears) override;
    void RedrawResults() override;
    void FolderDone(const std::wstring& text) override;
    void Idle() override;

    // Shows everything the fast feed holds (CResultsView::Flush).
    void FlushScanFeed() { ResultsView.Flush(); }
    LRESULT OnScanTick(WPARAM wp, LPARAM lp);    // WM_TIMER
    LRESULT OnScanFlush(WPARAM wp, LPARAM lp);   // WM_SCAN_FLUSH
    LRESULT OnScanRows(WPARAM wp, LPARAM lp);    // WM_SCAN_ROWS
    LRESULT OnTickSettle(WPARAM wp, LPARAM lp) { // WM_TICK_SETTLE
        ResultsView.SettleTick(reinterpret_cast<HTREEITEM>(lp), wp != 0);
        return 0;
    }

    // --- file operations ---
    void OnDeleteFiles();   // 1008, 32780
    void OnMoveFiles();     // 1027
    void OnExportList();    // 1024
    void OnCompareFiles();  // 1055, 32799
    void OnLeftFiles();     // 32801
    // A delete or move worker has ended: a close that waited for it goes on.
    LRESULT OnFilePassDone(WPARAM wp, LPARAM lp);   // WM_FILE_PASS_DONE
    // The user's re-search and clear-history commands (1010, 1019): refused while a
    // delete or move pass works on the rows and groups they would throw away.
    void OnReFindCommand();
    void OnClearHistoryCommand();
    // What the file passes of fileops/ work on: the rows, groups, status line and
    // closing flag of this window.
    SPassContext PassContext();

    TW_DECLARE_MSG_TABLE();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(win::DataExchange& dx) override;
    void OnOK() override {}       // IDOK is the add-folder command in the table
    void OnCancel() override;     // Esc: ends the program as safely as close

private:
    HTREEITEM MenuRow();
    void StartRun();
    LRESULT OnReFindRequest(WPARAM wp, LPARAM lp);
    std::optional<LRESULT> OnSysCommand(WPARAM wp, LPARAM lp);
    std::optional<LRESULT> OnPaint(WPARAM wp, LPARAM lp);
    // --- the layout at the window's DPI ---
    LRESULT OnSize(WPARAM wp, LPARAM lp);            // WM_SIZE
    LRESULT OnDpiChanged(WPARAM wp, LPARAM lp);      // WM_DPICHANGED
    // The controls' anchors, taken at the specified layout.
    void CaptureLayout();
    win::AnchorLayout Layout;
    UINT Dpi = 96;
    LRESULT OnQueryDragIcon(WPARAM wp, LPARAM lp);
    LRESULT OnCloseMessage(WPARAM wp, LPARAM lp);
};

// Shown while a start waits for the stopped search worker to end.
inline constexpr wchar_t kWaitingForStop[] = L"上次查找正在结束，结束后开始查找";
// Shown while a close waits for the delete or move pass to finish the file in hand.
inline constexpr wchar_t kFinishingBeforeExit[] = L"正在完成当前文件，完成后退出";

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

// A delete or move pass still runs: the refusal has been shown then. Commands that
// change the rows or their ticks ask first.
bool FilePassRefused(CTwinseekDlg& dlg);
