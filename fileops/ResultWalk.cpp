#include "fileops/ResultWalk.h"

#include "engine/FileError.h"
#include "engine/ContentCompare.h"
#include "engine/FileIdentity.h"
#include "engine/FileStatus.h"
#include "engine/FindFlags.h"
#include "fileops/KeptCopies.h"
#include "settings/ProtectedFolders.h"
#include "view/ResultColumns.h"
#include "view/IResults.h"
#include "win/Format.h"

namespace {

// Checked modes keep the unticked files; a group whose every file is ticked is given
// up as asked (the user chose every copy), with nothing kept to check: null then.
CKeptCopies* KeepUnticked(CKeptCopies& kept, const std::vector<SFileRow>& rows) {
    kept.Reset();
    bool allTicked = true;
    for (const SFileRow& row : rows) {
        if (row.ticked) continue;
        kept.Keep(row.name, row.path);
        allTicked = false;
    }
    return allTicked ? nullptr : &kept;
}

}  // namespace

void CResultWalk::Run(const std::function<void(const SFileRow&)>& onFile,
                      const std::function<void(HTREEITEM group)>& onGroupEnd,
                      const std::function<void(const std::vector<SFileRow>&)>& onGroupStart) {
    IResults& results = context_.results;
    HTREEITEM next = results.FirstGroup();
    std::vector<SFileRow> rows;
    while (HTREEITEM group = next) {
        CheckClosing(context_.closing);
        next = results.NextSibling(group);
        groupFailed_ = 0;
        groupProtected_ = false;
        rows.clear();
        for (HTREEITEM row = results.FirstChild(group); row; row = results.NextSibling(row)) {
            SFileRow file;
            file.group = group;
            file.row = row;
            file.name = Text(row, kNameColumn);
            file.path = Text(row, kPathColumn);
            const CProtectedFolders* guarded = context_.protectedFolders;
            file.protectedFile = guarded && guarded->Covers(file.path);
            file.ticked = !file.protectedFile && Ticked(row);
            groupProtected_ = groupProtected_ || file.protectedFile;
            rows.push_back(std::move(file));
        }
        if (onGroupStart) onGroupStart(rows);
        for (const SFileRow& file : rows) {
            CheckClosing(context_.closing);
            onFile(file);
        }
        if (onGroupEnd) onGroupEnd(group);
    }
}

void CResultWalk::RunKeepFirst(CKeptCopies& kept, const std::function<void(const SFileRow&, bool first)>& onFile) {
    // Run hands every file the same row it showed onGroupStart.
    const SFileRow* first = nullptr;
    bool keepProtected = false;
    Run([&](const SFileRow& file) { onFile(file, keepProtected ? file.protectedFile : &file == first); }, nullptr,
        [&](const std::vector<SFileRow>& rows) {
            kept.Reset();
            keepProtected = groupProtected_;
            first = rows.empty() ? nullptr : &rows.front();
            for (const SFileRow& row : rows)
                if (keepProtected ? row.protectedFile : &row == first) kept.Keep(row.name, row.path);
        });
}

void CResultWalk::RunTicked(CKeptCopies& kept, bool dropGroupRows, const std::function<void()>& onEveryFile,
                            const std::function<void(const SFileRow&, CKeptCopies*)>& onTicked) {
    CKeptCopies* guard = nullptr;
    Run(
        [&](const SFileRow& file) {
            onEveryFile();
            if (file.ticked) onTicked(file, guard);
        },
        [&](HTREEITEM group) {
            // A group with a file that stayed keeps its row, to show that file.
            if (dropGroupRows && Ticked(group) && groupFailed_ == 0 && !groupProtected_) DeleteRow(group);
        },
        [&](const std::vector<SFileRow>& rows) { guard = KeepUnticked(kept, rows); });
}

std::vector<std::wstring> CResultWalk::AllPaths() const {
    const IResults& results = context_.results;
    std::vector<std::wstring> paths;
    for (HTREEITEM group = results.FirstGroup(); group; group = results.NextSibling(group))
        for (HTREEITEM row = results.FirstChild(group); row; row = results.NextSibling(row))
            paths.push_back(Text(row, kPathColumn));
    return paths;
}

std::wstring CResultWalk::Text(HTREEITEM row, int column) const { return context_.results.Text(row, column); }

bool CResultWalk::Ticked(HTREEITEM row) const { return context_.results.Ticked(row); }

void CResultWalk::DeleteRow(HTREEITEM row) { context_.results.DeleteRow(row); }

void CResultWalk::UpdateGroupCount(const SFileRow& file) {
    int n;
    try {
        n = context_.groups.GroupSizeOnDisk(file.name, file.path);
    } catch (const CFileError&) {
        return;
    }
    context_.results.SetText(file.group, kCountColumn, win::Format(L"%d", n));
}

bool CResultWalk::Take(const SFileRow& file, SRemovedFile& taken, CKeptCopies* kept) {
    return TakeRecord(file, taken, kept == nullptr) && Confirm(file, taken, SGiveUp{kept, nullptr, false});
}

bool CResultWalk::TakeRecord(const SFileRow& file, SRemovedFile& taken, bool wholeGroup) {
    try {
        taken = context_.groups.TakeFile(file.name, file.path);
    } catch (const CFileError& e) {
        CountFailure(file, SOutcome::Left(ELeftReason::Unreadable, e.Error()));
        return false;
    }
    if (taken.found && (taken.unchanged || !wholeGroup)) return true;
    Failed(file, taken, SOutcome::Left(ELeftReason::Changed));
    return false;
}

namespace {

std::optional<SGivenFile> GivenFile(const std::wstring& path, HANDLE open) {
    SGivenFile given;
    if (!open) {
        const std::optional<SFileId> id = FileIdentityOf(path);
        if (!id || !ReadFileStatus(path, given.size, given.time)) return std::nullopt;
        given.id = *id;
        return given;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(open, &info)) return std::nullopt;
    given.id.volume = info.dwVolumeSerialNumber;
    given.id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    given.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    given.time = FormatFileTime(info.ftLastWriteTime);
    return given;
}

ELeftReason ReasonOf(EKeptCopy kept) {
    switch (kept) {
    case EKeptCopy::Differs: return ELeftReason::ContentDiffers;
    case EKeptCopy::Unreadable: return ELeftReason::KeptUnreadable;
    default: return ELeftReason::KeptGone;
    }
}

}  // namespace

bool CResultWalk::Confirm(const SFileRow& file, const SRemovedFile& taken, const SGiveUp& how) {
    const std::optional<SGivenFile> given = GivenFile(file.path, how.open);
    if (!given) {
        Failed(file, taken, SOutcome::Left(ELeftReason::Changed));
        return false;
    }
    if (!how.kept) {
        // Every copy goes: what goes must be what the user saw.
        if (given->size == taken.record.nSize && given->time == taken.record.strTime) return true;
        Failed(file, taken, SOutcome::Left(ELeftReason::Changed));
        return false;
    }
    std::function<ESameBytes(const std::wstring&)> sameBytes;
    if (how.sameBytes) {
        sameBytes = [&](const std::wstring& keptPath) {
            const auto stop = [this] { CheckClosing(context_.closing); };
            return how.open ? CompareWithFile(how.open, keptPath, stop) : CompareFiles(file.path, keptPath, stop);
        };
    }
    EKeptCopy kept;
    try {
        kept = how.kept->CopyBesides(taken.key, *given, sameBytes);
    } catch (...) {
        Failed(file, taken, SOutcome::Left(ELeftReason::Stopped));
        throw;
    }
    if (kept == EKeptCopy::Found) return true;
    Failed(file, taken, SOutcome::Left(ReasonOf(kept)));
    return false;
}

void CResultWalk::Failed(const SFileRow& file, const SRemovedFile& taken, const SOutcome& why) {
    context_.groups.PutBack(taken);
    UpdateGroupCount(file);
    CountFailure(file, why);
}

void CResultWalk::CountFailure(const SFileRow& file, const SOutcome& why) {
    ++failed_;
    ++groupFailed_;
    SLeftFile left{file.path, why.reason, why.error, why.detail};
    // The file's data is now under another name: said at once, not only in the list.
    if (why.reason == ELeftReason::SpareKept) context_.status(LeftReasonText(left));
    if (context_.left) context_.left->Add(std::move(left));
}

void CResultWalk::ShowEnd(const wchar_t* done, const wchar_t* failedFormat) const {
    context_.status(PassEndText(done, failedFormat, failed_));
}

std::wstring PassEndText(const wchar_t* done, const wchar_t* failedFormat, int failed) {
    return failed == 0 ? std::wstring(done) : win::Format(failedFormat, failed);
}

