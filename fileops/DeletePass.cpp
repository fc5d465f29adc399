#include "fileops/DeletePass.h"

#include "engine/FileInfoMap.h"
#include "engine/LongPath.h"
#include "fileops/EmptyFolderPass.h"
#include "fileops/KeptCopies.h"
#include "fileops/PassPainting.h"
#include "fileops/RecycleFile.h"
#include "fileops/ResultWalk.h"
#include "win/Format.h"
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

void ShowDeleting(const SPassContext& context, const SFileRow& file) {
    context.status(win::Format(L"正在删除:%s", file.path.c_str()));
}

}  // namespace

void CDeletePass::DeleteFiles() {
    if (setting_.HowToDel == kDeleteAllButFirst)
        DeleteKeepFirst();
    else
        DeleteChecked();
    // The re-search only queues the folders and starts the search worker, whose steps
    // wait for the pass lock: the empty-folder pass below has the folder list to itself.
    if (setting_.DelReFind && reFind_) reFind_();
    if (setting_.DelEmptyDir) CEmptyFolderPass(context_.groups.Folders, context_.closing).RemoveEmptyFolders();
}

void CDeletePass::DeleteKeepFirst() {
    win::WaitCursor wait;
    const bool direct = setting_.DelDirect != 0;
    PassPainting painting(context_.results);
    CResultWalk walk(context_);
    CKeptCopies kept(context_.groups);
    try {
        walk.RunKeepFirst(kept, [&](const SFileRow& file, bool first) {
            painting.Tick();
            ShowDeleting(context_, file);
            if (!first) {
                DeleteRowFile(walk, file, direct, &kept);
                return;
            }
            // The first file stays on disk; only its row goes.
            walk.DeleteRow(file.row);
            walk.UpdateGroupCount(file);
        });
        walk.ShowEnd(kDone, kDoneWithFailures);
    } catch (...) {
        // Closing, or a failure that ends the pass: no end text.
    }
}

void CDeletePass::DeleteChecked() {
    const bool direct = setting_.DelDirect != 0;
    PassPainting painting(context_.results);
    CResultWalk walk(context_);
    CKeptCopies kept(context_.groups);
    try {
        walk.RunTicked(kept, true, [&] { painting.Tick(); }, [&](const SFileRow& file, CKeptCopies* guard) {
            ShowDeleting(context_, file);
            DeleteRowFile(walk, file, direct, guard);
        });
        walk.ShowEnd(kDone, kDoneWithFailures);
    } catch (...) {
    }
}
