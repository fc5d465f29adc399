#include "fileops/DeletePass.h"

#include "engine/FileDisposal.h"
#include "engine/FileInfoMap.h"
#include "engine/LongPath.h"
#include "fileops/EmptyFolderPass.h"
#include "fileops/KeptCopies.h"
#include "fileops/PassPainting.h"
#include "fileops/RecycleFile.h"
#include "fileops/ResultWalk.h"
#include "win/Format.h"
#include "win/Handles.h"
#include "win/WaitCursor.h"

namespace {

const wchar_t kDone[] = L"删除完成";
const wchar_t kDoneWithFailures[] = L"删除完成，%d个文件未能删除";

// Opens the file to give up. For good: without write or delete sharing, so that
// nobody changes or renames it between the check and the delete, which goes through
// this same handle. To the bin: for reading while its bytes are compared (the shell
// then needs the file to itself).
win::UniqueHandle OpenToGiveUp(const std::wstring& path, bool direct) {
    const DWORD access = direct ? GENERIC_READ | DELETE : GENERIC_READ;
    return win::UniqueHandle(CreateFileW(ToLongPath(path).c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// A link to a file is deleted as a name: its target stays, so there is nothing to
// hold open (a handle would follow the link to the target).
bool IsLink(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ToLongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

SOutcome DeleteThroughHandle(win::UniqueHandle& file) {
    // A read-only file refuses: it stays, as DeleteFileW would leave it.
    if (!DeleteOnClose(file.get())) return SOutcome::Error(GetLastError());
    // The name goes when the last handle closes; ours is the only one that may delete.
    file.reset();
    return SOutcome::Done();
}

SOutcome DeleteByName(const std::wstring& path) {
    return DeleteFileW(ToLongPath(path).c_str()) ? SOutcome::Done() : SOutcome::Error(GetLastError());
}

// Takes the file out of its group and deletes it, while a kept copy is on disk (with
// `kept`; without, every file of the group goes and each must be as found). A file
// that stays keeps its row and record and counts as failed, with why.
void DeleteRowFile(CResultWalk& walk, const SFileRow& file, bool direct, CKeptCopies* kept, bool sameBytes) {
    SRemovedFile taken;
    if (!walk.TakeRecord(file, taken, kept == nullptr)) return;
    // Counted while the file is still there: its record can be rebuilt from the disk.
    walk.UpdateGroupCount(file);
    const bool link = IsLink(file.path);
    win::UniqueHandle open;
    if (!link) {
        open = OpenToGiveUp(file.path, direct);
        if (!open) {
            walk.Failed(file, taken, SOutcome::Error(GetLastError()));
            return;
        }
    }
    if (!walk.Confirm(file, taken, CResultWalk::SGiveUp{kept, open.get(), sameBytes})) return;
    SOutcome outcome;
    if (direct)
        outcome = link ? DeleteByName(file.path) : DeleteThroughHandle(open);
    else {
        open.reset();
        outcome = RecycleFile(file.path);
    }
    if (outcome.done) {
        walk.DeleteRow(file.row);
        return;
    }
    walk.Failed(file, taken, outcome);
}

void ShowDeleting(const SPassContext& context, const SFileRow& file) {
    context.status(win::Format(L"正在删除:%s", file.path.c_str()));
}

}  // namespace

void CDeletePass::DeleteFiles() {
    if (context_.left) context_.left->Clear();
    if (setting_.HowToDel == kDeleteAllButFirst)
        DeleteKeepFirst();
    else
        DeleteChecked();
    // A close ends the work here: the window goes once the pass has.
    if (context_.closing) return;
    // The re-search only queues the folders and starts the search worker, whose steps
    // wait for the pass lock: the empty-folder pass below has the folder list to itself.
    if (setting_.DelReFind && reFind_) reFind_();
    if (setting_.DelEmptyDir) CEmptyFolderPass(context_.groups.Folders, context_.closing).RemoveEmptyFolders();
}

void CDeletePass::DeleteKeepFirst() {
    win::WaitCursor wait;
    const bool direct = setting_.DelDirect != 0;
    const bool sameBytes = setting_.DelSameContent != 0;
    PassPainting painting(context_.results);
    CResultWalk walk(context_);
    CKeptCopies kept(context_.groups);
    try {
        walk.RunKeepFirst(kept, [&](const SFileRow& file, bool first) {
            painting.Tick();
            ShowDeleting(context_, file);
            if (!first) {
                DeleteRowFile(walk, file, direct, &kept, sameBytes);
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
    const bool sameBytes = setting_.DelSameContent != 0;
    PassPainting painting(context_.results);
    CResultWalk walk(context_);
    CKeptCopies kept(context_.groups);
    try {
        walk.RunTicked(kept, true, [&] { painting.Tick(); }, [&](const SFileRow& file, CKeptCopies* guard) {
            ShowDeleting(context_, file);
            DeleteRowFile(walk, file, direct, guard, sameBytes);
        });
        walk.ShowEnd(kDone, kDoneWithFailures);
    } catch (...) {
    }
}
