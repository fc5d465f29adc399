#include "app/TwinseekDlg.h"

#include <shellapi.h>

#include <cstdarg>
#include <cwchar>

#include "app/AboutDlg.h"
#include "app/FindSettingDlg.h"
#include "fileops/SpareJournal.h"
#include "res/Version.h"
#include "res/resource.h"
#include "view/ResultText.h"
#include "settings/SettingsFile.h"
#include "win/Format.h"
#include "win/Handles.h"
#include "win/MessageBox.h"
#include "win/ProcessExit.h"
#include "win/Shell.h"

namespace {
const wchar_t kCaption[] = L"Kestrelsoft-双生搜寻V" TWINSEEK_VERSION_TEXT;
const wchar_t kHelpPage[] = L"https://www.twinseek.example/help/";
}  // namespace

CTwinseekDlg::CTwinseekDlg()
    : win::Dialog(IDD_TWINSEEK_DIALOG), Scan(FindSetting, FileInfoMap, FindFlags, FileCount, this) {
    Icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CTwinseekDlg::~CTwinseekDlg() = default;

TW_BEGIN_MSG_TABLE(CTwinseekDlg, win::Dialog)
    TW_ON_MESSAGE_OR_DEFAULT(WM_SYSCOMMAND, OnSysCommand)   // std::optional<LRESULT> (WPARAM, LPARAM)
    TW_ON_MESSAGE_OR_DEFAULT(WM_PAINT, OnPaint)             // std::optional<LRESULT> (WPARAM, LPARAM)
    TW_ON_MESSAGE(WM_QUERYDRAGICON, OnQueryDragIcon)        // LRESULT (WPARAM, LPARAM)
    TW_ON_MESSAGE(WM_CLOSE, OnCloseMessage)                 // LRESULT (WPARAM, LPARAM)
    TW_ON_MESSAGE(WM_SIZE, OnSize)                          // LRESULT (WPARAM, LPARAM)
    TW_ON_MESSAGE(WM_DPICHANGED, OnDpiChanged)              // LRESULT (WPARAM, LPARAM)
    TW_ON_COMMAND(IDOK, OnAddFolder)                        // void ()
    TW_ON_COMMAND(IDC_FIND, OnFind)                         // void ()
    TW_ON_COMMAND(ID_FIND_TOGGLE, OnFind)                   // void ()
    TW_ON_COMMAND(IDC_REFIND, OnReFindCommand)              // void ()
    TW_ON_MESSAGE(WM_FIND_DONE, OnFindDone)                 // LRESULT (WPARAM, LPARAM)
    TW_ON_MESSAGE(WM_REFIND_REQUEST, OnReFindRequest)       // LRESULT (WPARAM, LPARAM)
    TW_ON_MESSAGE(WM_TIMER, OnScanTick)                     // LRESULT (WPARAM, LPARAM)
    TW_ON_MESSAGE(WM_SCAN_FLUSH, OnScanFlush)               // LRESULT (WPARAM, LPARAM)
    TW_ON_MESSAGE(WM_SCAN_ROWS, OnScanRows)                 // LRESULT (WPARAM, LPARAM)
    TW_ON_MESSAGE(WM_TICK_SETTLE, OnTickSettle)             // LRESULT (WPARAM, LPARAM)
    TW_ON_COMMAND(IDC_CLEAR_HISTORY, OnClearHistoryCommand) // void ()
    TW_ON_COMMAND(ID_HELP_ABOUT, OnAbout)                   // void ()
    TW_ON_COMMAND(ID_FILE_EXIT, OnExit)                     // void ()
    TW_ON_COMMAND(ID_HELP_PAGE, OnHelpPage)                 // void ()
    TW_ON_NOTIFY(NM_RCLICK, IDC_RESULTS, OnResultsRClick)   // LRESULT (NMHDR*)
    TW_ON_NOTIFY(NM_CLICK, IDC_RESULTS, OnResultsClick)     // LRESULT (NMHDR*)
    TW_ON_NOTIFY(NM_DBLCLK, IDC_RESULTS, OnResultsDblClk)   // LRESULT (NMHDR*)
    TW_ON_COMMAND(ID_LIST_OPEN_FILE, OnOpenFile)            // void ()
    TW_ON_COMMAND(ID_LIST_OPEN_FOLDER, OnOpenFolder)        // void ()
    TW_ON_COMMAND(ID_LIST_COPY_NAME, OnCopyName)            // void ()
    TW_ON_COMMAND(ID_LIST_COPY_PATH, OnCopyPath)            // void ()
    TW_ON_COMMAND(IDC_EXPAND_ALL, OnExpandAll)              // void ()
    TW_ON_COMMAND(ID_SELECT_NEWEST, OnSelectNewest)         // void ()
    TW_ON_COMMAND(ID_SELECT_OLDEST, OnSelectOldest)         // void ()
    TW_ON_COMMAND(ID_SELECT_SHALLOWEST, OnSelectShallowest) // void ()
    TW_ON_COMMAND(ID_SELECT_FOLDER, OnSelectFolder)         // void ()
    TW_ON_COMMAND(ID_SELECT_NONE, OnSelectNone)             // void ()
    TW_ON_COMMAND(ID_SELECT_INVERT, OnSelectInvert)         // void ()
    TW_ON_COMMAND(ID_LIST_PROTECT, OnProtect)               // void ()
    TW_ON_COMMAND(ID_LIST_UNPROTECT, OnUnprotect)           // void ()
    TW_ON_COMMAND(IDC_DELETE, OnDeleteFiles)                // void ()
    TW_ON_COMMAND(ID_DELETE_FILES_ALT, OnDeleteFiles)       // void ()
    TW_ON_COMMAND(IDC_MOVE, OnMoveFiles)                    // void ()
    TW_ON_COMMAND(IDC_EXPORT, OnExportList)                 // void ()
    TW_ON_COMMAND(IDC_COMPARE, OnCompareFiles)              // void ()
    TW_ON_COMMAND(ID_FILE_COMPARE, OnCompareFiles)          // void ()
    TW_ON_COMMAND(ID_FILE_LEFT_FILES, OnLeftFiles)          // void ()
    TW_ON_MESSAGE(WM_FILE_PASS_DONE, OnFilePassDone)        // LRESULT (WPARAM, LPARAM)
    TW_ON_COMMAND(IDC_FIND_SETTING, OnFindSetting)          // void ()
    TW_ON_COMMAND(ID_TOOLS_DIGEST_CACHE, OnDigestCache)     // void ()
    TW_ON_COMMAND(IDC_CHECK_UPDATE, OnCheckUpdate)          // void ()
TW_END_MSG_TABLE()

void CTwinseekDlg::DoDataExchange(win::DataExchange& dx) {
    dx.Control(IDC_RESULTS, ResultTree);
    dx.Text(IDC_FOLDER, FolderText);
    dx.Control(IDC_STATUS, StatusEdit);
    dx.Control(IDC_FOLDER, FolderEdit);
    dx.Control(IDC_FIND, FindButton);
    dx.Control(IDC_COUNT, CountEdit);
    dx.Control(IDC_DELETE, DeleteButton);
    dx.Check(IDC_SUBFOLDER, SearchSubFolder);
}

BOOL CTwinseekDlg::OnInitDialog() {
    win::Dialog::OnInitDialog();
    win::SetAppMainWindow(hwnd_);
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    if (HMENU sys = GetSystemMenu(hwnd_, FALSE)) {
        wchar_t about[128] = {};
        LoadStringW(GetModuleHandleW(nullptr), IDS_ABOUTBOX, about, 128);
        if (about[0]) {
            AppendMenuW(sys, MF_SEPARATOR, 0, nullptr);
            AppendMenuW(sys, MF_STRING, IDM_ABOUTBOX, about);
        }
    }
    SetText(kCaption);
    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Icon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Icon));

    // Fails harmlessly when the folder exists; the settings then load as they are.
    CreateDirectoryW(win::Format(L"%s%s\\", GetProgramDir().c_str(), L"config").c_str(), nullptr);
    FindSetting.Load();
    DeleteSetting.Load();
    MoveSetting.Load();
    LastFolder.clear();

    ProtectedFolders.Load();
    FileInfoMap.Stored.Open(GetProgramDir() + L"config\\digests.cache");

    ImageList = ResultsView.Init(hwnd_, StatusEdit, CountEdit);
    ResultsView.SetProtectedFolders(&ProtectedFolders);
    ResultsView.SetSummaryFields(GetItem(IDC_SUMMARY_GROUPS), GetItem(IDC_SUMMARY_TICKED));
    ResultsView.ShowSummary();
    // A recycling cut short (the process killed, the power gone) may have left a
    // file only under its spare name.
    const CSpareJournal::SRecovery recovery = CSpareJournal::Recover();
    if (!recovery.left.empty())
        ShowStatus(this, L"上次中断留下的文件未能恢复原名:%s", recovery.left.front().c_str());
    else if (recovery.restored > 0)
        ShowStatus(this, L"已恢复上次中断时留下的%d个文件", recovery.restored);
    win::Window(GetItem(IDC_EXPAND_ALL)).SetText(FindSetting.ExpandItem ? L"收缩所有" : L"展开所有");
    CaptureLayout();
    StartUpdateCheck();
    return TRUE;
}

std::optional<LRESULT> CTwinseekDlg::OnSysCommand(WPARAM wp, LPARAM) {
    if ((wp & 0xFFF0) != IDM_ABOUTBOX) return std::nullopt;   // the dialog manager's
    OnAbout();
    return 0;
}

std::optional<LRESULT> CTwinseekDlg::OnPaint(WPARAM, LPARAM) {
    if (!IsIconic(hwnd_)) return std::nullopt;
    win::PaintScope paint(hwnd_);
    HDC dc = paint.dc();
    Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    RECT r = GetClientRect();
    DrawIcon(dc, (r.right - r.left - cx + 1) / 2, (r.bottom - r.top - cy + 1) / 2, Icon);
    return 0;
}

LRESULT CTwinseekDlg::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<LRESULT>(Icon); }

LRESULT CTwinseekDlg::OnCloseMessage(WPARAM, LPARAM) {
    OnExit();
    return 0;
}

void CTwinseekDlg::OnExit() {
    ClosingFlag = 1;
    FindFlags = FIND_STOP;
    if (FilePassRunning) {
        // A delete or move cut off mid-file could leave a truncated copy or a file
        // only under its spare name: the pass finishes or undoes the file in hand,
        // stops at the next file, and its end (WM_FILE_PASS_DONE) closes the window.
        ExitAfterPass = true;
        ShowStatus(this, L"%s", kFinishingBeforeExit);
        return;
    }
    Show(SW_HIDE);
    EndDialog(IDCANCEL);
    // The search and update workers are not waited for: the process exit ends them.
    EndProcess(0);
}

void CTwinseekDlg::OnCancel() {
    // Esc would end the modal loop while workers may still hold the window:
    // leave exactly as the close box does.
    OnExit();
}

void CTwinseekDlg::OnAbout() {
    CAboutDlg about;
    about.DoModal();
}

void CTwinseekDlg::OnHelpPage() { win::ShellOpen(hwnd_, kHelpPage, SW_SHOWNORMAL); }

void CTwinseekDlg::OnClearHistory() {
    win::Window tree = ResultTree;
    tree.SetRedraw(false);
    ResultsView.DeleteAllRows();
    tree.SetRedraw(true);
    RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    {
        auto lock = FileInfoMap.Lock();
        FileInfoMap.ClearGroups();
        FileInfoMap.Folders.ClearFolders();
    }
    FileInfoMap.Digests.Clear();
    FileCount = 0;
}

void CTwinseekDlg::OnFindSetting() {
    {
        // The dialog changes FindSetting only under the data lock: a running search
        // reads it for every file.
        CFindSettingDlg dlg(FindSetting, &FileInfoMap.DataLock());
        dlg.DoModal();
    }
    // Files found from now on are grouped by the new criteria, also mid-run.
    auto lock = FileInfoMap.Lock();
    FileInfoMap.SetCriteria(FindSetting.CriteriaBits());
    FileInfoMap.SetSimilarName(FindSetting.FindSimularFile);
}

void CTwinseekDlg::OnDigestCache() {
    CDigestStore& store = FileInfoMap.Stored;
    const std::wstring text = win::Format(L"MD5缓存：%u个文件，%s\r\n位置：%s\r\n\r\n要清空MD5缓存吗？",
                                          static_cast<unsigned>(store.Count()), SizeText(store.FileBytes()).c_str(),
                                          store.Path().c_str());
    if (win::AppMessageBox(text.c_str(), MB_YESNO | MB_DEFBUTTON2) != IDYES) return;
    store.Clear();
    store.Save();
}

std::wstring FormatStatusText(const wchar_t* format, va_list args) {
    wchar_t buf[1024];
    int n = _vsnwprintf(buf, 1023, format, args);
    // _vsnwprintf leaves an overlong result unterminated: cut it to fit.
    buf[n < 0 || n > 1023 ? 1023 : n] = L'\0';
    return buf;
}

int ShowStatus(CTwinseekDlg* wnd, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = FormatStatusText(format, args);
    va_end(args);
    return wnd->ResultsView.ShowStatus(text) ? 1 : 0;
}
