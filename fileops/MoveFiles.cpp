// Moving and copying duplicates into one folder.
#include <memory>

#include "app/TwinseekDlg.h"
#include "engine/LongPath.h"
#include "fileops/FilePass.h"
#include "fileops/KeptCopies.h"
#include "fileops/MoveFileDlg.h"
#include "fileops/PassPainting.h"
#include "fileops/ResultWalk.h"
#include "fileops/TargetGuard.h"
#include "win/Format.h"
#include "win/WaitCursor.h"

namespace {

const wchar_t kDone[] = L"移动完成";
const wchar_t kNotMoved[] = L"移动完成，%d个文件未能移动";
const wchar_t kNotCopied[] = L"移动完成，%d个文件未能复制";

// What one pass does to one file, fixed when the pass starts.
struct MoveRule {
    std::wstring folder;   // the target folder, without a trailing backslash
    bool copy = false;
    bool overwrite = false;
    // With overwrite: what an existing target may be (see CTargetGuard).
    std::unique_ptr<CTargetGuard> targets;

    std::wstring TargetOf(const std::wstring& name) const { return win::Format(L"%s\\%s", folder.c_str(), name.c_str()); }

    bool Copy(const std::wstring& path, const std::wstring& name) const {
        const std::wstring target = TargetOf(name);
        if (overwrite && !targets->MayReplace(path, target)) return false;
        if (!CopyFileW(ToLongPath(path).c_str(), ToLongPath(target).c_str(), overwrite ? FALSE : TRUE)) return false;
        if (overwrite) targets->Placed(target);
        return true;
    }
    bool Move(const std::wstring& path, const std::wstring& name) const {
        const std::wstring target = TargetOf(name);
        const std::wstring from = ToLongPath(path), to = ToLongPath(target);
        if (!overwrite) return MoveFileW(from.c_str(), to.c_str()) != FALSE;
        if (!targets->MayReplace(path, target)) return false;
        // Replacing across volumes needs the copy-and-delete fallback; a plain move
        // allows it by itself.
        if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED)) return false;
        targets->Placed(target);
        return true;
    }
    const wchar_t* FailedFormat() const { return copy ? kNotCopied : kNotMoved; }
};

MoveRule RuleOf(CTwinseekDlg& dlg, const CResultWalk& walk) {
    // The dialog has ended; the record is not changed while the pass runs.
    MoveRule rule;
    rule.folder = dlg.MoveSetting.SavePath;
    rule.copy = dlg.MoveSetting.Copy != 0;
    rule.overwrite = dlg.MoveSetting.OverWrite != 0;
    // Read before the pass removes any row: a kept first file loses its row too.
    if (rule.overwrite) {
        const CFileInfoMap& map = dlg.FileInfoMap;
        rule.targets = std::make_unique<CTargetGuard>(
            walk.AllPaths(), [&map](const std::wstring& name) { return map.MemberPathsNamed(name); });
    }
    return rule;
}

void CopyRowFile(CResultWalk& walk, const SFileRow& file, const MoveRule& rule) {
    if (!rule.Copy(file.path, file.name)) walk.CountFailure();
}

// Takes the file out of its group and moves it, while a kept copy is on disk (with
// `kept`); a file that stays keeps its row and its record and counts as failed.
void MoveRowFile(CResultWalk& walk, const SFileRow& file, const MoveRule& rule, CKeptCopies* kept) {
    SRemovedFile taken;
    if (!walk.Take(file, taken, kept)) return;
    // Counted while the file is still at its place: its record is rebuilt from there.
    walk.UpdateGroupCount(file);
    if (rule.Move(file.path, file.name)) {
        walk.DeleteRow(file.row);
        return;
    }
    walk.Failed(file, taken);
}

// The status text, then a copy or a move, as the rule says.
void HandOverRowFile(CTwinseekDlg& dlg, CResultWalk& walk, const SFileRow& file, const MoveRule& rule,
                     CKeptCopies* kept) {
    ShowStatus(&dlg, L"正在移动:%s", file.path.c_str());
    if (rule.copy)
        CopyRowFile(walk, file, rule);
    else
        MoveRowFile(walk, file, rule, kept);
}

}  // namespace

void CTwinseekDlg::OnMoveFiles() {
    if (FilePassCannotBegin(*this)) return;
    CMoveFileDlg dialog(&MoveSetting);
    if (dialog.DoModal() != IDOK) return;
    StartFilePass(*this, [this] { MoveThreadProc(this); });
}

unsigned MoveThreadProc(CTwinseekDlg* wnd) {
    try {
        wnd->MoveFiles();
    } catch (...) {
    }
    return 0;
}

void CTwinseekDlg::MoveFiles() {
    if (MoveSetting.MoveType == kMoveTicked)
        MoveChecked();
    else if (MoveSetting.MoveType == kMoveAllButFirst)
        MoveKeepFirst();
    else
        MoveAll();
    if (MoveSetting.DelEmpty) RemoveEmptyFolders();
}

void CTwinseekDlg::MoveChecked() {
    PassPainting painting(*this);
    CResultWalk walk(*this);
    const MoveRule rule = RuleOf(*this, walk);
    CKeptCopies kept(FileInfoMap);
    CKeptCopies* guard = nullptr;
    try {
        walk.Run(
            [&](const SFileRow& file) {
                painting.Tick();
                if (!file.ticked) return;
                HandOverRowFile(*this, walk, file, rule, guard);
            },
            [&](HTREEITEM group) {
                // A group with a file that stayed keeps its row, to show that file.
                if (!rule.copy && walk.Ticked(group) && walk.GroupFailedCount() == 0) walk.DeleteRow(group);
            },
            [&](const std::vector<SFileRow>& rows) { guard = KeepUnticked(kept, rows); });
        walk.ShowEnd(kDone, rule.FailedFormat());
    } catch (...) {
        // Closing, or a failure that ends the pass: no end text.
    }
}

void CTwinseekDlg::MoveKeepFirst() {
    win::WaitCursor wait;
    PassPainting painting(*this);
    CResultWalk walk(*this);
    const MoveRule rule = RuleOf(*this, walk);
    CKeptCopies kept(FileInfoMap);
    try {
        int k = 0;
        walk.Run(
            [&](const SFileRow& file) {
                painting.Tick();
                ShowStatus(this, L"正在移动:%s", file.path.c_str());
                if (rule.copy) {
                    // Every file of the group is copied, the first one included.
                    CopyRowFile(walk, file, rule);
                    return;
                }
                if (k++ > 0) {
                    MoveRowFile(walk, file, rule, &kept);
                    return;
                }
                // The first file stays where it is; only its row goes.
                walk.DeleteRow(file.row);
            },
            [&](HTREEITEM) { k = 0; },
            [&](const std::vector<SFileRow>& rows) { KeepFirst(kept, rows); });
        walk.ShowEnd(kDone, rule.FailedFormat());
    } catch (...) {
    }
}

void CTwinseekDlg::MoveAll() {
    win::WaitCursor wait;
    PassPainting painting(*this);
    CResultWalk walk(*this);
    const MoveRule rule = RuleOf(*this, walk);
    try {
        walk.Run(
            [&](const SFileRow& file) {
                painting.Tick();
                // Every file goes, as asked: none of a group is kept to check against.
                HandOverRowFile(*this, walk, file, rule, nullptr);
            },
            [&](HTREEITEM group) {
                if (!rule.copy && walk.GroupFailedCount() == 0) walk.DeleteRow(group);
            });
        walk.ShowEnd(kDone, rule.FailedFormat());
    } catch (...) {
    }
}
