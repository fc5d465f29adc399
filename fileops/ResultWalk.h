#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/FileInfoMap.h"
#include "fileops/LeftFiles.h"
#include "fileops/PassContext.h"

class CKeptCopies;

// One file row met by the walk.
struct SFileRow {
    HTREEITEM group = nullptr;
    HTREEITEM row = nullptr;
    std::wstring name;    // column 1
    std::wstring path;    // column 2
    bool ticked = false;  // as it was when the walk reached its group; never for a protected file
    bool protectedFile = false;   // in a protected folder: no pass gives it up
};

// The walk over the results that the delete and move passes share, and what they do
// to rows and groups on the way. It runs on the pass's worker: the tree is reached
// only through IResults, and the data lock is held only inside the group-map calls.
//
// A file that is taken away, per row:
//     SRemovedFile taken;
//     if (!walk.Take(f, taken, kept)) return; // unreadable, changed, or no kept copy
//                                             // left: counted, row kept
//     walk.UpdateGroupCount(f);               // while the file is still there
//     if (<file operation succeeded>) walk.DeleteRow(f.row);
//     else walk.Failed(f, taken, outcome);    // record back, row kept, counted
// A delete splits Take in two, to open the file between them:
//     TakeRecord, then Confirm with the open file.
class CResultWalk {
public:
    explicit CResultWalk(const SPassContext& context) : context_(context) {}

    // Every group row from the top along its siblings and every file row of it along
    // its children. A group's rows are read before any of them is handled, so a
    // handler may delete its own row. CheckClosing runs at the top of every group
    // and every file row; onGroupStart (when given) sees the group's rows first,
    // onGroupEnd (when given) runs after them.
    void Run(const std::function<void(const SFileRow&)>& onFile,
             const std::function<void(HTREEITEM group)>& onGroupEnd = nullptr,
             const std::function<void(const std::vector<SFileRow>&)>& onGroupStart = nullptr);
    // Run over the files of the keep-first modes, each with whether the pass keeps
    // it (`kept`): its group's protected files when it has any, else its first.
    void RunKeepFirst(CKeptCopies& kept, const std::function<void(const SFileRow&, bool first)>& onFile);
    // Run over the ticked files of the checked modes: onTicked gets each with what the
    // pass keeps of its group (the unticked files; null when every file is ticked, as
    // the user chose every copy). With `dropGroupRows`, a ticked group row goes once
    // every file of it went. onEveryFile runs at every file row, ticked or not.
    void RunTicked(CKeptCopies& kept, bool dropGroupRows, const std::function<void()>& onEveryFile,
                   const std::function<void(const SFileRow&, CKeptCopies*)>& onTicked);
    // The paths of every file row, in tree order.
    std::vector<std::wstring> AllPaths() const;

    std::wstring Text(HTREEITEM row, int column) const;
    bool Ticked(HTREEITEM row) const;
    // The group-row index follows deletions by itself.
    void DeleteRow(HTREEITEM row);
    // Column 0 of the file's group row: the size of its group, from the disk now.
    // A file that cannot be read leaves the count as it is.
    void UpdateGroupCount(const SFileRow& file);

    // How a file about to be given up is checked once its record is taken.
    struct SGiveUp {
        // What the pass keeps of the group; null when every file of it goes, as the
        // user asked: then the file must still be exactly what the search found.
        CKeptCopies* kept = nullptr;
        // The file as the pass has opened it: its identity and bytes are read
        // through this handle (null: by its path).
        HANDLE open = nullptr;
        // A kept copy must hold the same bytes, read from the disk now.
        bool sameBytes = false;
    };

    // Takes the file out of its group, remembering where it was, and confirms it
    // (below) by its path. False when it stays: counted, its record back, row kept.
    bool Take(const SFileRow& file, SRemovedFile& taken, CKeptCopies* kept = nullptr);
    // The first half of Take: the record goes only while the file on disk is still a
    // member of its group (with `wholeGroup`, also of the same size, time and digest
    // as found). False when it stays.
    bool TakeRecord(const SFileRow& file, SRemovedFile& taken, bool wholeGroup);
    // The second half: with `kept`, a kept copy must be on disk as another file (with
    // the same bytes, when asked); without, the file must still be as found. False
    // when the file stays (its record is put back). A close while the bytes are read
    // ends the compare: the file stays and the stop passes on.
    bool Confirm(const SFileRow& file, const SRemovedFile& taken, const SGiveUp& how);
    // The file is still on disk: its record goes back to its place, the group count
    // follows, its row stays, and it counts as failed, with why.
    void Failed(const SFileRow& file, const SRemovedFile& taken, const SOutcome& why);
    // A failure that changed nothing (for example a copy that did not happen).
    void CountFailure(const SFileRow& file, const SOutcome& why);

    int FailedCount() const { return failed_; }
    // Failures within the group being walked.
    int GroupFailedCount() const { return groupFailed_; }
    // The group being walked has a protected file, which keeps its group row.
    bool GroupHasProtected() const { return groupProtected_; }

    // The pass's last status text: `done`, or `failedFormat` with the failure count.
    void ShowEnd(const wchar_t* done, const wchar_t* failedFormat) const;

private:
    const SPassContext& context_;
    int failed_ = 0;
    int groupFailed_ = 0;
    bool groupProtected_ = false;
};

// `done` when nothing failed, else `failedFormat` (with one %d) formatted with the count.
std::wstring PassEndText(const wchar_t* done, const wchar_t* failedFormat, int failed);
