// Starting, stopping and re-running a search, and the search worker.
//
// One worker at a time: FindThread holds its handle from the start until
// OnFindDone has joined it. A start asked for while a stopped worker is still
// ending is remembered and carried out by OnFindDone, so the window thread never
// waits for a worker that may still send it a message.
#include "app/TwinseekDlg.h"
#include "win/DirDialog.h"
#include "win/MessageBox.h"
#include "win/Threads.h"

namespace {

// Drops one trailing backslash from the folder text and shows the result.
void TrimFolderText(CTwinseekDlg& dlg) {
    if (!dlg.FolderText.empty() && dlg.FolderText.back() == L'\\') {
        dlg.FolderText.pop_back();
        dlg.FolderEdit.SetText(dlg.FolderText);
    }
}

bool OnWindowThread(HWND h) { return GetWindowThreadProcessId(h, nullptr) == GetCurrentThreadId(); }

}  // namespace

unsigned __stdcall FindThreadProc(void* window) {
    auto* dlg = static_cast<CTwinseekDlg*>(window);
    try {
        dlg->PrepareSearch();
        for (;;) {
            dlg->SearchNextFolder();
            CheckFindStop(dlg->FindFlags);
            // Fast mode goes straight on to the next pending folder; the idle
            // poll stays, so an idle run still wakes only every 100 ms.
            if (dlg->FastStepAhead()) continue;
            Sleep(100);
        }
    } catch (...) {
        // A stop request, or anything else that left a step: the run ends.
    }
    try {
        ShowStatus(dlg, L"查找结束！");
    } catch (...) {
    }
    // A search stopped half-way keeps what it read too.
    dlg->FileInfoMap.Stored.Save();
    // The last message of this worker: OnFindDone may join it from here on.
    PostMessageW(dlg->GetHwnd(), WM_FIND_DONE, 0, 0);
    return 0;
}

// Each step waits while a delete or move pass works on the results.
void CTwinseekDlg::PrepareSearch() {
    std::lock_guard<std::mutex> pass(PassLock);
    Scan.PrepareSearch();
}
void CTwinseekDlg::SearchNextFolder() {
    std::lock_guard<std::mutex> pass(PassLock);
    Scan.SearchNextFolder();
}

bool CTwinseekDlg::FastStepAhead() const {
    auto lock = FileInfoMap.Lock();
    return FindSetting.FastSearch == 1 && FileInfoMap.Folders.HasPending();
}

void CTwinseekDlg::StartRun() {
    // The start text goes up before the worker exists, so its first folder
    // text can never be overwritten by it.
    ShowStatus(this, L"查找已经启动");
    FindFlags = FIND_RUNNING;
    FindThread.reset(win::StartThread(FindThreadProc, this));
    if (!FindThread) FindFlags &= ~FIND_RUNNING;
    FindButton.SetText(L"停止查找");
}

void CTwinseekDlg::OnFind() {
    UpdateData(true);
    if (StartPending) {
        // A start still waiting for the stopped worker: pressed again, it is called off.
        StartPending = false;
        FindButton.SetText(L"开始查找");
        ShowStatus(this, L"查找即将结束");
        return;
    }
    if (FindFlags & FIND_RUNNING) {
        FindFlags = FIND_STOP;
        FindButton.SetText(L"开始查找");
        ShowStatus(this, L"查找即将结束");
        return;
    }
    if (FolderText.empty()) {
        win::AppMessageBox(L"请添加查找文件夹", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    TrimFolderText(*this);
    FileCount = 0;
    FileInfoMap.Folders.AddFolder(FolderText, SearchSubFolder != 0);
    if (FindThread) {
        // The stopped worker has not ended yet: start once it is joined, and say so.
        StartPending = true;
        FindButton.SetText(L"停止查找");
        ShowStatus(this, L"%s", kWaitingForStop);
        return;
    }
    StartRun();
}

void CTwinseekDlg::OnAddFolder() {
    UpdateData(true);
    CDirDialog picker(false);
    picker.Title = L"请选择一个文件夹";
    picker.InitialFolder = LastFolder;
    if (!picker.DoBrowse(nullptr)) return;
    FolderEdit.SetText(picker.SelectedPath);
    LastFolder = picker.SelectedPath;
    FolderText = LastFolder;
    TrimFolderText(*this);
    if (!FileInfoMap.Folders.AddFolder(FolderText, SearchSubFolder != 0)) {
        int answer = win::MessageBox(hwnd_, L"此文件夹已经添加,要重新查找此文件夹吗？", L"文件夹重复",
                                     MB_YESNO | MB_ICONEXCLAMATION);
        if (answer == IDYES) {
            FileInfoMap.Folders.RequeueFolder(FolderText, SearchSubFolder != 0);
            FileCount = 0;
        }
    }
    if (!(FindFlags & FIND_RUNNING)) OnFind();
}

LRESULT CTwinseekDlg::OnReFindRequest(WPARAM, LPARAM) {
    OnReFind();
    return 0;
}

void CTwinseekDlg::OnReFind() {
    if (!OnWindowThread(hwnd_)) {
        // From a worker (the delete pass): the members and dialogs belong to the
        // window's thread, so run the whole command there.
        Send(WM_REFIND_REQUEST);
        return;
    }
    UpdateData(true);
    ResultsView.DeleteAllRows();
    TrimFolderText(*this);
    bool empty;
    {
        auto lock = FileInfoMap.Lock();
        FileInfoMap.ClearGroups();
        FileCount = 0;
        FileInfoMap.Folders.RequeueAllFolders();
        FileInfoMap.Folders.AddFolder(FolderText, SearchSubFolder != 0);
        empty = FileInfoMap.Folders.FolderCount() == 0;
    }
    if (empty) {
        LastFolder = L"1";
        OnAddFolder();
    }
    if (!(FindFlags & FIND_RUNNING)) OnFind();
}

LRESULT CTwinseekDlg::OnFindDone(WPARAM, LPARAM) {
    if (FindThread) {
        // Posted after the worker's last message: this wait cannot block on it.
        WaitForSingleObject(FindThread.get(), INFINITE);
        FindThread.reset();
    }
    FindFlags &= ~FIND_RUN_MASK;
    if (StartPending) {
        StartPending = false;
        StartRun();
    }
    return 0;
}
