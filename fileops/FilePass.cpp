#include "fileops/FilePass.h"

#include <mutex>

#include "app/TwinseekDlg.h"
#include "win/MessageBox.h"
#include "win/Threads.h"

namespace {

void ShowRefusal() { win::AppMessageBox(L"另一个删除或移动操作正在进行，请等它结束后再试。", MB_OK); }

}  // namespace

bool FilePassRefused(CTwinseekDlg& dlg) {
    if (!dlg.FilePassRunning) return false;
    ShowRefusal();
    return true;
}

bool FilePassCannotBegin(CTwinseekDlg& dlg) {
    if (FilePassRefused(dlg)) return true;
    if (TreeView_GetCount(dlg.ResultTree.GetTreeCtrl()) != 0) return false;
    win::AppMessageBox(L"没找到相同文件名的文件", MB_OK);
    return true;
}

void CTwinseekDlg::OnReFindCommand() {
    if (!FilePassRefused(*this)) OnReFind();
}

void CTwinseekDlg::OnClearHistoryCommand() {
    if (!FilePassRefused(*this)) OnClearHistory();
}

bool StartFilePass(CTwinseekDlg& dlg, std::function<void()> pass) {
    if (dlg.FilePassRunning.exchange(true)) {
        ShowRefusal();
        return false;
    }
    bool started = win::StartWorker([&dlg, pass = std::move(pass)] {
        // Declared first, so the flag drops only after the lock is released.
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
