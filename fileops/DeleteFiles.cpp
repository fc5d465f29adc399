// Deleting duplicates from the results: all but the first file of every group, or
// the ticked files, to the recycle bin or for good.
#include "app/TwinseekDlg.h"
#include "engine/LongPath.h"
#include "fileops/DelFileDlg.h"
#include "fileops/FilePass.h"
#include "fileops/KeptCopies.h"
#include "fileops/PassPainting.h"
#include "fileops/RecycleFile.h"
#include "fileops/ResultWalk.h"
#include "win/MessageBox.h"
#include "win/WaitCursor.h"

namespace {

const wchar_t kDone[] = L"删除完成";
const wchar_t kDoneWithFailures[] = L"删除完成，%d个文件未能删除";

bool DeleteOne(const std::wstring& path, bool direct) {
    return direct ? DeleteFileW(ToLongPath(path).c_str()) != FALSE : RecycleFile(path);
}

// Takes the file out of its group and deletes it, while a kept copy is on disk (with
// `kept`); a file that stays keeps its row and record and counts as failed.
void DeleteRowFile(CResultWalk& walk, const SFileRow& file, bool direct, CKeptCopies* kept) {
    SRemovedFile taken;
    if (!walk.Take(file, taken, kept)) return;
    // Counted while the file is still there: its record can be rebuilt from the disk.
    walk.UpdateGroupCount(file);
    if (DeleteOne(file.path, direct)) {
        walk.DeleteRow(file.row);
        return;
    }
    walk.Failed(file, taken);
}

}  // namespace

void CTwinseekDlg::OnDeleteFiles() {
    if (FilePassCannotBegin(*this)) return;
    CDelFileDlg dialog(&DeleteSetting);
    if (dialog.DoModal() != IDOK) return;
    if (win::MessageBox(hwnd_, L"执行此操作将删除相关文件！\r\n您真要执行此操作吗？", L"删除警告",
                        MB_YESNO | MB_ICONWARNING) != IDYES)
        return;
    StartFilePass(*this, [this] { DeleteThreadProc(this); });
}

unsigned DeleteThreadProc(CTwinseekDlg* wnd) {
    try {
        wnd->DeleteFiles();
    } catch (...) {
    }
    return 0;
}

void CTwinseekDlg::DeleteFiles() {
    if (DeleteSetting.HowToDel == kDeleteAllButFirst)
        DeleteKeepFirst();
    else
        DeleteChecked();
    // The re-search only queues the folders and starts the search worker, whose steps
    // wait for PassLock: the empty-folder pass below has the folder list to itself.
    if (DeleteSetting.DelReFind) OnReFind();
    if (DeleteSetting.DelEmptyDir) RemoveEmptyFolders();
}

void CTwinseekDlg::DeleteKeepFirst() {
    win::WaitCursor wait;
    const bool direct = DeleteSetting.DelDirect != 0;
    PassPainting painting(*this);
    CResultWalk walk(*this);
    CKeptCopies kept(FileInfoMap);
    try {
        int k = 0;
        walk.Run(
            [&](const SFileRow& file) {
                painting.Tick();
                ShowStatus(this, L"正在删除:%s", file.path.c_str());
                if (k++ > 0) {
                    DeleteRowFile(walk, file, direct, &kept);
                    return;
                }
                // The first file stays on disk; only its row goes.
                walk.DeleteRow(file.row);
                walk.UpdateGroupCount(file);
            },
            [&](HTREEITEM) { k = 0; },
            [&](const std::vector<SFileRow>& rows) { KeepFirst(kept, rows); });
        walk.ShowEnd(kDone, kDoneWithFailures);
    } catch (...) {
        // Closing, or a failure that ends the pass: no end text.
    }
}

void CTwinseekDlg::DeleteChecked() {
    const bool direct = DeleteSetting.DelDirect != 0;
    PassPainting painting(*this);
    CResultWalk walk(*this);
    CKeptCopies kept(FileInfoMap);
    CKeptCopies* guard = nullptr;
    try {
        walk.Run(
            [&](const SFileRow& file) {
                painting.Tick();
                if (!file.ticked) return;
                ShowStatus(this, L"正在删除:%s", file.path.c_str());
                DeleteRowFile(walk, file, direct, guard);
            },
            [&](HTREEITEM group) {
                // A group with a file that stayed keeps its row, to show that file.
                if (walk.Ticked(group) && walk.GroupFailedCount() == 0) walk.DeleteRow(group);
            },
            [&](const std::vector<SFileRow>& rows) { guard = KeepUnticked(kept, rows); });
        walk.ShowEnd(kDone, kDoneWithFailures);
    } catch (...) {
    }
}
