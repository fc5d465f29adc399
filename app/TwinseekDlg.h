#pragma once
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "app/FindFlags.h"
#include "settings/DeleteSettingStruct.h"
#include "settings/FindSettingStruct.h"
#include "settings/MoveSettingStruct.h"
#include "update/StartupCheckThread.h"
#include "update/UpdateInfo.h"
#include "win/Dialog.h"
#include "win/Window.h"

// The main window: the whole program is this one modal dialog. It owns, for the
// whole run, the settings records, the groups and folder list, the results tree,
// the update descriptor, the search worker's handle and the two shared words.
class CTwinseekDlg : public win::Dialog {
public:
    CTwinseekDlg();
    ~CTwinseekDlg() override;

    // --- state (declaration order as the window's data model) ---
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
    win::Window ResultTree;
    std::atomic<int32_t> FileCount{0};
    win::Window CountEdit;
    win::Window DeleteButton;
    POINT MenuPoint{};
    // Last, so that it is destroyed first: it waits for the start-up check, which uses
    // the members above.
    CStartupCheckThread UpdateCheckThread;

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

    // --- file operations ---
    void OnDeleteFiles();   // 1008, 32780
    void OnMoveFiles();     // 1027
    void OnExportList();    // 1024
    void OnCompareFiles();  // 1055, 32799

    TW_DECLARE_MSG_TABLE();

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(win::DataExchange& dx) override;
    void OnOK() override {}       // IDOK is the add-folder command in the table
    void OnCancel() override;     // Esc: ends the program as safely as close

private:
    LRESULT OnSysCommand(WPARAM wp, LPARAM lp);
    LRESULT OnPaint(WPARAM wp, LPARAM lp);
    LRESULT OnQueryDragIcon(WPARAM wp, LPARAM lp);
    LRESULT OnCloseMessage(WPARAM wp, LPARAM lp);
};

// Formats into the status line (at most 1023 characters; longer text is cut).
// Callable from any thread: the text change is sent to the window's thread.
int ShowStatus(CTwinseekDlg* wnd, const wchar_t* format, ...);
// The formatting step of ShowStatus alone.
std::wstring FormatStatusText(const wchar_t* format, va_list args);

// The start-up update check, on its own worker: opens the notice through command 1005
// when a newer version is offered.
unsigned UpdateThreadProc(CTwinseekDlg* wnd);
