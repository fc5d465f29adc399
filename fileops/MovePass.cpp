#include "fileops/MovePass.h"

#include <memory>

#include "engine/FileInfoMap.h"
#include "engine/LongPath.h"
#include "fileops/EmptyFolderPass.h"
#include "fileops/KeptCopies.h"
#include "fileops/PassPainting.h"
#include "fileops/ResultWalk.h"
#include "fileops/TargetGuard.h"
#include "fileops/VerifiedCopy.h"
#include "win/Format.h"
#include "win/WaitCursor.h"

namespace {

const wchar_t kDone[] = L"移动完成";
const wchar_t kNotMoved[] = L"移动完成，%d个文件未能移动";
const wchar_t kNotCopied[] = L"移动完成，%d个文件未能复制";

// The file's own name, from its path: the name column drops the extension when
// extensions are ignored.
std::wstring FileNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// What one pass does to one file, fixed when the pass starts.
struct MoveRule {
    std::wstring folder;   // the target folder, without a trailing backslash
    bool copy = false;
    bool overwrite = false;
    // With overwrite: what an existing target may be (see CTargetGuard).
    std::unique_ptr<CTargetGuard> targets;
    const std::atomic<int32_t>* closing = nullptr;

    std::wstring TargetOf(const std::wstring& path) const {
        return win::Format(L"%s\\%s", folder.c_str(), FileNameOf(path).c_str());
    }

    SOutcome Copy(const std::wstring& path) const { return Hand(path, CopyVerified); }
    SOutcome Move(const std::wstring& path) const { return Hand(path, MoveVerified); }
    const wchar_t* FailedFormat() const { return copy ? kNotCopied : kNotMoved; }

private:
    using Operation = SOutcome (*)(const std::wstring&, const std::wstring&, bool, const std::atomic<int32_t>&);
    SOutcome Hand(const std::wstring& path, Operation operation) const {
        const std::wstring target = TargetOf(path);
        if (overwrite && !targets->MayReplace(path, target)) return SOutcome::Left(ELeftReason::TargetExists);
        SOutcome outcome = operation(path, target, overwrite, *closing);
        if (outcome.done && overwrite) targets->Placed(target);
        return outcome;
    }
};

MoveRule RuleOf(const MoveSettingStruct& setting, const SPassContext& context, const CResultWalk& walk) {
    MoveRule rule;
    rule.folder = setting.SavePath;
    rule.copy = setting.Copy != 0;
    rule.overwrite = setting.OverWrite != 0;
    rule.closing = &context.closing;
    // Read before the pass removes any row: a kept first file loses its row too.
    if (rule.overwrite) {
        const CFileInfoMap& map = context.groups;
        rule.targets = std::make_unique<CTargetGuard>(
            walk.AllPaths(), [&map](const std::wstring& name) { return map.MemberPathsNamed(name); });
    }
    return rule;
}

void CopyRowFile(CResultWalk& walk, const SFileRow& file, const MoveRule& rule) {
    const SOutcome outcome = rule.Copy(file.path);
    if (!outcome.done) walk.CountFailure(file, outcome);
}

// Takes the file out of its group and moves it, while a kept copy is on disk (with
// `kept`); a file that stays keeps its row and its record and counts as failed.
void MoveRowFile(CResultWalk& walk, const SFileRow& file, const MoveRule& rule, CKeptCopies* kept) {
    SRemovedFile taken;
    if (!walk.Take(file, taken, kept)) return;
    // Counted while the file is still at its place: its record is rebuilt from there.
    walk.UpdateGroupCount(file);
    const SOutcome outcome = rule.Move(file.path);
    if (outcome.done) {
        walk.DeleteRow(file.row);
        return;
    }
    walk.Failed(file, taken, outcome);
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
    if (context_.left) context_.left->Clear();
    if (setting_.MoveType == kMoveTicked)
        MoveChecked();
    else if (setting_.MoveType == kMoveAllButFirst)
        MoveKeepFirst();
    else
        MoveAll();
    if (setting_.DelEmpty && !context_.closing) CEmptyFolderPass(context_.groups.Folders, context_.closing).RemoveEmptyFolders();
}

void CMovePass::MoveChecked() {
    PassPainting painting(context_.results);
    CResultWalk walk(context_);
    const MoveRule rule = RuleOf(setting_, context_, walk);
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
    const MoveRule rule = RuleOf(setting_, context_, walk);
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
    const MoveRule rule = RuleOf(setting_, context_, walk);
    try {
        walk.Run(
            [&](const SFileRow& file) {
                painting.Tick();
                // A protected file stays where it is, row and all.
                if (file.protectedFile && !rule.copy) return;
                // Every other file goes, as asked: none of a group is kept to check against.
                HandOverRowFile(context_, walk, file, rule, nullptr);
            },
            [&](HTREEITEM group) {
                if (!rule.copy && walk.GroupFailedCount() == 0 && !walk.GroupHasProtected()) walk.DeleteRow(group);
            });
        walk.ShowEnd(kDone, rule.FailedFormat());
    } catch (...) {
    }
}
