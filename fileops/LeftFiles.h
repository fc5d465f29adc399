#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

// Why a file pass left a file where it was.
enum class ELeftReason {
    ContentDiffers,   // its bytes are not those of the copy the pass keeps
    KeptGone,         // the kept copy changed, vanished or is the file itself
    KeptUnreadable,   // the kept copy could not be read to compare
    Changed,          // the file is no longer what the search found (edited, gone)
    Unreadable,       // the file could not be read
    InUse,            // another program holds it
    Denied,           // read-only, or no right to change it
    NoBin,            // the recycle bin would not take it (it would be deleted for good)
    NoSpareName,      // no second name could be made for a safe recycling
    SpareKept,        // not confirmed in the bin: the data stays under the spare name
    TargetExists,     // a file of that name is in the target folder already
    DiskFull,         // the target has no room
    CopyDiffers,      // the copy read back is not the source
    SourceStayed,     // the copy arrived but the source could not be deleted
    Stopped,          // the window was closed before this file was done
    Failed,           // anything else the system refused
};

// One file a pass left, with why.
struct SLeftFile {
    std::wstring path;
    ELeftReason reason = ELeftReason::Failed;
    DWORD error = 0;          // the system's error code, where one was given
    std::wstring detail;      // a path the user needs (the spare name), or empty
};

// What became of one file: done, or left with why.
struct SOutcome {
    bool done = false;
    ELeftReason reason = ELeftReason::Failed;
    DWORD error = 0;
    std::wstring detail;

    static SOutcome Done() { return SOutcome{true, ELeftReason::Failed, 0, {}}; }
    static SOutcome Left(ELeftReason reason, DWORD error = 0, std::wstring detail = {}) {
        return SOutcome{false, reason, error, std::move(detail)};
    }
    // A file call failed with this error code.
    static SOutcome Error(DWORD error);
};

// The shown reason: short, for a list the user reads.
std::wstring LeftReasonText(const SLeftFile& left);
// The reason a failed file call leaves behind, by its error code.
ELeftReason ReasonOfError(DWORD error);

// The files the last delete or move pass left, for the user to look at afterwards.
// Filled on the pass's worker, read on the window's thread.
class CLeftFiles {
public:
    void Clear() {
        std::lock_guard<std::mutex> guard(lock_);
        files_.clear();
    }
    void Add(SLeftFile file) {
        std::lock_guard<std::mutex> guard(lock_);
        files_.push_back(std::move(file));
    }
    std::vector<SLeftFile> Files() const {
        std::lock_guard<std::mutex> guard(lock_);
        return files_;
    }

private:
    mutable std::mutex lock_;
    std::vector<SLeftFile> files_;
};
