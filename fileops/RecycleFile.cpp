#include "fileops/RecycleFile.h"

#include <windows.h>
#include <shellapi.h>

#include "engine/FileDisposal.h"
#include "engine/FileIdentity.h"
#include "engine/LongPath.h"
#include "engine/PassedOver.h"
#include "fileops/SpareJournal.h"
#include "win/Format.h"

namespace {

// The short form of a path, for a shell that takes no "\\?\" paths: past the classic
// limit, or with a name ending in "." or " " (which the shell would trim into another
// file's name); empty when there is none that fits.
std::wstring ShortShellPath(const std::wstring& path) {
    const std::wstring prefixed = ToLongPath(path);
    DWORD n = GetShortPathNameW(prefixed.c_str(), nullptr, 0);
    if (n == 0) return L"";
    std::wstring shortPath(n, L'\0');
    n = GetShortPathNameW(prefixed.c_str(), shortPath.data(), n);
    shortPath.resize(n);
    if (shortPath.rfind(L"\\\\?\\UNC\\", 0) == 0)
        shortPath = L"\\\\" + shortPath.substr(8);
    else if (shortPath.rfind(L"\\\\?\\", 0) == 0)
        shortPath = shortPath.substr(4);
    if (shortPath.size() >= MAX_PATH || HasTrimmedName(shortPath)) return L"";
    return shortPath;
}

// The shell's answer: 0 when it reports success.
int ShellRecycle(const std::wstring& path) {
    // The shell's list form: every path ends with a NUL, the list with one more.
    std::wstring from = path;
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op = {};
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.pTo = nullptr;
    // Without FOF_NO_CONNECTED_ELEMENTS the shell takes "page_files\" along with
    // "page.htm", and where there is no bin, deletes that folder for good.
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_ALLOWUNDO | FOF_NO_CONNECTED_ELEMENTS;
    op.lpszProgressTitle = nullptr;
    const int result = SHFileOperationW(&op);
    return result == 0 && op.fAnyOperationsAborted ? ERROR_CANCELLED : result;
}

}  // namespace

SOutcome RecycleFile(const std::wstring& path) {
    // The shell trims a name ending in "." or " " into another file's name: such a
    // path goes only by its short form. A long one goes whole first, which keeps the
    // file's own name in the bin, then by its short form.
    const bool trimmed = HasTrimmedName(path);
    const std::wstring shortPath = trimmed || path.size() >= MAX_PATH ? ShortShellPath(path) : std::wstring();
    if (trimmed && shortPath.empty()) return SOutcome::Left(ELeftReason::NoBin);
    const std::wstring exact = ToLongPath(path);

    // The shell deletes for good, without a word, what the bin cannot take (a drive
    // without a bin, a file over the bin's limit). A second name for the file, made
    // beside it, tells the two apart and keeps the data whatever the shell does: the
    // bin keeps the file under a name of its own, so after a real recycling the
    // file still has as many names as before; after a deletion for good it has one
    // fewer, and the spare name gives it its own name back. Where no second name can
    // be made, nothing is risked.
    const std::wstring sparePath = win::Format(L"%s.%lu-%lu%s", path.c_str(), GetCurrentProcessId(),
                                               GetCurrentThreadId(), kSpareNameEnding);
    const std::wstring spare = ToLongPath(sparePath);
    CSpareJournal::Note(path, sparePath);
    if (!CreateHardLinkW(spare.c_str(), exact.c_str(), nullptr)) {
        const DWORD error = GetLastError();
        CSpareJournal::Done(sparePath);
        return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_FILE_NOT_FOUND
                   ? SOutcome::Error(error)
                   : SOutcome::Left(ELeftReason::NoSpareName, error);
    }
    // The file may have names elsewhere already.
    const unsigned names = FileLinkCount(spare);

    int shell = trimmed ? ERROR_INVALID_NAME : ShellRecycle(path);
    if (NameState(exact) == ENameState::There && !shortPath.empty()) shell = ShellRecycle(shortPath);

    SOutcome outcome;
    switch (NameState(exact)) {
    case ENameState::There:
        // Still in place: not recycled, whatever was reported.
        outcome = shell != 0 && ReasonOfError(shell) != ELeftReason::Failed ? SOutcome::Error(shell)
                                                                              : SOutcome::Left(ELeftReason::NoBin, shell);
        break;
    case ENameState::Unknown:
        // Perhaps deleted for good while another program holds the file: its name
        // cannot be given back yet, so the data stays under the spare name, and the
        // next start gives it back (the journal keeps it).
        return SOutcome::Left(ELeftReason::SpareKept, 0, sparePath);
    case ENameState::Gone:
        if (names >= 2 && FileLinkCount(spare) >= names) {
            outcome = SOutcome::Done();
            break;
        }
        // Deleted for good: the file gets its name back and counts as not deleted.
        if (!MoveFileW(spare.c_str(), exact.c_str()))
            return SOutcome::Left(ELeftReason::SpareKept, GetLastError(), sparePath);
        CSpareJournal::Done(sparePath);
        return SOutcome::Left(ELeftReason::NoBin);
    }
    if (!DropSpareName(spare)) return SOutcome::Left(ELeftReason::SpareKept, GetLastError(), sparePath);
    CSpareJournal::Done(sparePath);
    return outcome;
}
