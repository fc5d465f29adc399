// The main window's commands on the files of the results: delete, move or copy,
// export and compare. The passes themselves live in fileops/; here they are handed
// the window's rows, groups and status line.
//
// One delete or move pass at a time. The command (window thread) asks for a refusal
// first, before any dialog; then StartFilePass claims FilePassRunning and starts the
// worker. The worker holds PassLock for the whole pass, so search steps wait
// meanwhile (and a re-search it starts begins only after it), and clears
// FilePassRunning when it ends, however.
#include <mutex>

#include "app/TwinseekDlg.h"
#include "fileops/ComparePass.h"
#include "fileops/DelFileDlg.h"
#include "fileops/DeletePass.h"
#include "fileops/ExportPass.h"
#include "fileops/LeftFilesDlg.h"
#include "fileops/MoveFileDlg.h"
#include "fileops/MovePass.h"
#include "win/Format.h"
#include "win/MessageBox.h"
#include "win/Threads.h"

namespace {

void ShowRefusal() { win::AppMessageBox(L"另一个删除或移动操作正在进行，请等它结束后再试。", MB_OK); }


// FilePassRefused, or the results are empty: the delete and move commands end then,
// the reason shown.
bool FilePassCannotBegin(CTwinseekDlg& dlg) {
    if (FilePassRefused(dlg)) return true;
    if (!dlg.ResultsView.Rows().Empty()) return false;
    win::AppMessageBox(L"没找到相同文件名的文件", MB_OK);
    return true;
}

// False when refused (shown as above) or when the worker could not start.
bool StartFilePass(CTwinseekDlg& dlg, std::function<void()> pass) {
    if (dlg.FilePassRunning.exchange(true)) {
        ShowRefusal();
        return false;
    }
    bool started = win::StartWorker([&dlg, pass = std::move(pass)] {
        // Declared first, so it is posted last, once the flag has dropped: a close
        // that waits for the pass then goes on.
        struct Announce {
            HWND window;
            ~Announce() { PostMessageW(window, WM_FILE_PASS_DONE, 0, 0); }
        } announce{dlg.GetHwnd()};
        // Declared before the lock, so the flag drops only after the lock is released.
        struct Release {
            std::atomic<bool>& flag;
            ~Release() { flag = false; }
        } release{dlg.FilePassRunning};
        std::lock_guard<std::mutex> lock(dlg.PassLock);
        // Rows a fast search step handed over are in the tree before the pass reads it.
        dlg.FlushScanFeed();
        pass();
    });
    if (!started) dlg.FilePassRunning = false;
    return started;
}

// Groups whose every file row is ticked: a pass on the ticked files gives up every
// copy of them.
int WholeTickedGroups(const IResults& rows) {
    int whole = 0;
    for (HTREEITEM group = rows.FirstGroup(); group; group = rows.NextSibling(group)) {
        HTREEITEM row = rows.FirstChild(group);
        if (!row) continue;
        bool all = true;
        for (; row && all; row = rows.NextSibling(row)) all = rows.Ticked(row);
        if (all) ++whole;
    }
    return whole;
}

}  // namespace

bool FilePassRefused(CTwinseekDlg& dlg) {
    if (!dlg.FilePassRunning) return false;
    ShowRefusal();
    return true;
}

SPassContext CTwinseekDlg::PassContext() {
    return {ResultsView.Rows(), FileInfoMap, [this](const std::wstring& text) { ShowStatus(this, L"%s", text.c_str()); },
            ClosingFlag, &LeftFiles, &ProtectedFolders};
}

void CTwinseekDlg::OnReFindCommand() {
    if (!FilePassRefused(*this)) OnReFind();
}

void CTwinseekDlg::OnClearHistoryCommand() {
    if (!FilePassRefused(*this)) OnClearHistory();
}

void CTwinseekDlg::OnDeleteFiles() {
    if (FilePassCannotBegin(*this)) return;
    CDelFileDlg dialog(&DeleteSetting);
    if (dialog.DoModal() != IDOK) return;
    if (win::MessageBox(hwnd_, L"执行此操作将删除相关文件！\r\n您真要执行此操作吗？", L"删除警告",
                        MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    // The warning speaks of files; a group ticked whole loses every copy, which a
    // click on its own check box does without the user ticking each file.
    if (DeleteSetting.HowToDel == kDeleteTicked) {
        const int whole = WholeTickedGroups(ResultsView.Rows());
        if (whole > 0 &&
            win::MessageBox(hwnd_,
                            win::Format(L"有%d组重复文件的所有文件都已选中，删除后这些文件一个也不保留。\r\n"
                                        L"您真要删除这些组的全部文件吗？",
                                        whole),
                            L"删除警告", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
            return;
    }
    StartFilePass(*this, [this] { DeleteThreadProc(this); });
}

unsigned DeleteThreadProc(CTwinseekDlg* wnd) {
    try {
        // The dialog has ended: the pass works on a copy of the options it set.
        CDeletePass(wnd->PassContext(), wnd->DeleteSetting, [wnd] { wnd->OnReFind(); }).DeleteFiles();
    } catch (...) {
    }
    return 0;
}

void CTwinseekDlg::OnMoveFiles() {
    if (FilePassCannotBegin(*this)) return;
    CMoveFileDlg dialog(&MoveSetting);
    if (dialog.DoModal() != IDOK) return;
    StartFilePass(*this, [this] { MoveThreadProc(this); });
}

unsigned MoveThreadProc(CTwinseekDlg* wnd) {
    try {
        CMovePass(wnd->PassContext(), wnd->MoveSetting).MoveFiles();
    } catch (...) {
    }
    return 0;
}

void CTwinseekDlg::OnExportList() {
    CExportPass(ResultsView.Rows(), [this](const std::wstring& text) { ShowStatus(this, L"%s", text.c_str()); })
        .OnExportList();
}

void CTwinseekDlg::OnCompareFiles() { CComparePass(ResultsView.Rows()).OnCompareFiles(); }

void CTwinseekDlg::OnLeftFiles() {
    std::vector<SLeftFile> files = LeftFiles.Files();
    if (files.empty()) {
        win::AppMessageBox(L"上次删除或移动没有留下未能处理的文件。", MB_OK);
        return;
    }
    CLeftFilesDlg dialog(std::move(files));
    dialog.DoModal();
}

LRESULT CTwinseekDlg::OnFilePassDone(WPARAM, LPARAM) {
    if (ExitAfterPass) OnExit();
    return 0;
}
