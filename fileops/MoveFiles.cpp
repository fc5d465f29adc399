// Moving and copying duplicates into one folder.
#include "app/TwinseekDlg.h"
#include "engine/LongPath.h"
#include "fileops/FilePass.h"
#include "fileops/MoveFileDlg.h"
#include "fileops/PassPainting.h"
#include "fileops/ResultWalk.h"
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

    std::wstring TargetOf(const std::wstring& name) const { return win::Format(L"%s\\%s", folder.c_str(), name.c_str()); }

    bool Copy(const std::wstring& path, const std::wstring& name) const {
        return CopyFileW(ToLongPath(path).c_str(), ToLongPath(TargetOf(name)).c_str(), overwrite ? FALSE : TRUE) !=
               FALSE;
    }
    bool Move(const std::wstring& path, const std::wstring& name) const {
        const std::wstring from = ToLongPath(path), to = ToLongPath(TargetOf(name));
        // Replacing across volumes needs the copy-and-delete fallback; a plain move
        // allows it by itself.
        if (overwrite)
            return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != FALSE;
        return MoveFileW(from.c_str(), to.c_str()) != FALSE;
    }
    const wchar_t* FailedFormat() const { return copy ? kNotCopied : kNotMoved; }
};

MoveRule RuleOf(CTwinseekDlg& dlg) {
    // The dialog has ended; the record is not changed while the pass runs.
    MoveRule rule;
    rule.folder = dlg.MoveSetting.SavePath;
    rule.copy = dlg.MoveSetting.Copy != 0;
    rule.overwrite = dlg.MoveSetting.OverWrite != 0;
    return rule;
}

void CopyRowFile(CResultWalk& walk, const SFileRow& file, const MoveRule& rule) {
    if (!rule.Copy(file.path, file.name)) walk.CountFailure();
}

// Takes the file out of its group and moves it; a file that stays keeps its row and
// its record and counts as failed.
void MoveRowFile(CResultWalk& walk, const SFileRow& file, const MoveRule& rule) {
    SRemovedFile taken;
    if (!walk.Take(file, taken)) return;
    // Counted while the file is still at its place: its record is rebuilt from there.
    walk.UpdateGroupCount(file);
    if (rule.Move(file.path, file.name))
        walk.DeleteRow(file.row);
    else
        walk.Failed(file, taken);
}

// The status text, then a copy or a move, as the rule says.
void HandOverRowFile(CTwinseekDlg& dlg, CResultWalk& walk, const SFileRow& file, const MoveRule& rule) {
    ShowStatus(&dlg, L"正在移动:%s", file.path.c_str());
    if (rule.copy)
        CopyRowFile(walk, file, rule);
    else
        MoveRowFile(walk, file, rule);
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
    if (MoveSetting.MoveType == 0)
        MoveChecked();
    else if (MoveSetting.MoveType == 1)
        MoveKeepFirst();
    else
        MoveAll();
    if (MoveSetting.DelEmpty) RemoveEmptyFolders();
}

void CTwinseekDlg::MoveChecked() {
    const MoveRule rule = RuleOf(*this);
    PassPainting painting(*this);
    CResultWalk walk(*this);
    try {
        walk.Run(
            [&](const SFileRow& file) {
                painting.Tick();
                if (!walk.Ticked(file.row)) return;
                HandOverRowFile(*this, walk, file, rule);
            },
            [&](HTREEITEM group) {
                // A group with a file that stayed keeps its row, to show that file.
                if (!rule.copy && walk.Ticked(group) && walk.GroupFailedCount() == 0) walk.DeleteRow(group);
            });
        walk.ShowEnd(kDone, rule.FailedFormat());
    } catch (...) {
        // Closing, or a failure that ends the pass: no end text.
    }
}

void CTwinseekDlg::MoveKeepFirst() {
    win::WaitCursor wait;
    const MoveRule rule = RuleOf(*this);
    PassPainting painting(*this);
    CResultWalk walk(*this);
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
                    MoveRowFile(walk, file, rule);
                    return;
                }
                // The first file stays where it is; only its row goes.
                walk.DeleteRow(file.row);
            },
            [&](HTREEITEM) { k = 0; });
        walk.ShowEnd(kDone, rule.FailedFormat());
    } catch (...) {
    }
}

void CTwinseekDlg::MoveAll() {
    win::WaitCursor wait;
    const MoveRule rule = RuleOf(*this);
    PassPainting painting(*this);
    CResultWalk walk(*this);
    try {
        walk.Run(
            [&](const SFileRow& file) {
                painting.Tick();
                HandOverRowFile(*this, walk, file, rule);
            },
            [&](HTREEITEM group) {
                if (!rule.copy && walk.GroupFailedCount() == 0) walk.DeleteRow(group);
            });
        walk.ShowEnd(kDone, rule.FailedFormat());
    } catch (...) {
    }
}
