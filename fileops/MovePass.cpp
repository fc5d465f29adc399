#include "fileops/MovePass.h"

#include <memory>

#include "engine/FileInfoMap.h"
#include "engine/LongPath.h"
#include "fileops/EmptyFolderPass.h"
#include "fileops/KeptCopies.h"
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

MoveRule RuleOf(const MoveSettingStruct& setting, const CFileInfoMap& map, const CResultWalk& walk) {
    MoveRule rule;
    rule.folder = setting.SavePath;
    rule.copy = setting.Copy != 0;
    rule.overwrite = setting.OverWrite != 0;
    // Read before the pass removes any row: a kept first file loses its row too.
    if (rule.overwrite) {
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
void HandOverRowFile(const SPassContext& context, CResultWalk& walk, const SFileRow& file, const MoveRule& rule,
                     CKeptCopies* kept) {
    context.status(win::Format(L"正在移动:%s", file.path.c_str()));
    if (rule.copy)
        CopyRowFile(walk, file, rule);
    else
        MoveRowFile(walk, file, rule, kept);
}

}  // namespace

void CMovePass::MoveFiles() {
    if (setting_.MoveType == kMoveTicked)
        MoveChecked();
    else if (setting_.MoveType == kMoveAllButFirst)
        MoveKeepFirst();
    else
        MoveAll();
    if (setting_.DelEmpty) CEmptyFolderPass(context_.groups.Folders, context_.closing).RemoveEmptyFolders();
}

void CMovePass::MoveChecked() {
    PassPainting painting(context_.results);
    CResultWalk walk(context_);
    const MoveRule rule = RuleOf(setting_, context_.groups, walk);
    CKeptCopies kept(context_.groups);
    try {
        // Copies leave the rows as they are.
        walk.RunTicked(kept, !rule.copy, [&] { painting.Tick(); }, [&](const SFileRow& file, CKeptCopies* guard) {
            HandOverRowFile(context_, walk, file, rule, guard);
        });
        walk.ShowEnd(kDone, rule.FailedFormat());
    } catch (...) {
        // Closing, or a failure that ends the pass: no end text.
    }
}

void CMovePass::MoveKeepFirst() {
    win::WaitCursor wait;
    PassPainting painting(context_.results);
    CResultWalk walk(context_);
    const MoveRule rule = RuleOf(setting_, context_.groups, walk);
    CKeptCopies kept(context_.groups);
    try {
        walk.RunKeepFirst(kept, [&](const SFileRow& file, bool first) {
            painting.Tick();
            context_.status(win::Format(L"正在移动:%s", file.path.c_str()));
            if (rule.copy) {
                // Every file of the group is copied, the first one included.
                CopyRowFile(walk, file, rule);
                return;
            }
            if (!first) {
                MoveRowFile(walk, file, rule, &kept);
                return;
            }
            // The first file stays where it is; only its row goes.
            walk.DeleteRow(file.row);
        });
        walk.ShowEnd(kDone, rule.FailedFormat());
    } catch (...) {
    }
}

void CMovePass::MoveAll() {
    win::WaitCursor wait;
    PassPainting painting(context_.results);
    CResultWalk walk(context_);
    const MoveRule rule = RuleOf(setting_, context_.groups, walk);
    try {
        walk.Run(
            [&](const SFileRow& file) {
                painting.Tick();
                // Every file goes, as asked: none of a group is kept to check against.
                HandOverRowFile(context_, walk, file, rule, nullptr);
            },
            [&](HTREEITEM group) {
                if (!rule.copy && walk.GroupFailedCount() == 0) walk.DeleteRow(group);
            });
        walk.ShowEnd(kDone, rule.FailedFormat());
    } catch (...) {
    }
}
