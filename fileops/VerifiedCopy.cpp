#include "fileops/VerifiedCopy.h"

#include <windows.h>

#include <memory>

#include "engine/ContentCompare.h"
#include "engine/FileDisposal.h"
#include "engine/LongPath.h"
#include "engine/PassedOver.h"
#include "win/Format.h"
#include "win/Handles.h"

namespace {

std::wstring PartialNameOf(const std::wstring& target) {
    return win::Format(L"%s.%lu-%lu%s", target.c_str(), GetCurrentProcessId(), GetCurrentThreadId(),
                       kPartialCopyEnding);
}

constexpr DWORD kBlockSize = 1048576;

// Copies the bytes of `source` (from its start) into the new file `out`, checking for
// a close between blocks; the last-write time follows, as a copy keeps it.
SOutcome CopyBytes(HANDLE source, HANDLE out, const std::atomic<int32_t>& closing) {
    LARGE_INTEGER zero = {};
    if (!SetFilePointerEx(source, zero, nullptr, FILE_BEGIN)) return SOutcome::Error(GetLastError());
    std::unique_ptr<unsigned char[]> block(new unsigned char[kBlockSize]);
    for (;;) {
        if (closing.load()) return SOutcome::Left(ELeftReason::Stopped);
        DWORD read = 0;
        if (!ReadFile(source, block.get(), kBlockSize, &read, nullptr)) return SOutcome::Left(ELeftReason::Unreadable, GetLastError());
        if (read == 0) break;
        DWORD written = 0;
        if (!WriteFile(out, block.get(), read, &written, nullptr)) return SOutcome::Error(GetLastError());
        if (written != read) return SOutcome::Left(ELeftReason::DiskFull);
    }
    FILETIME created, accessed, modified;
    if (GetFileTime(source, &created, &accessed, &modified)) SetFileTime(out, &created, nullptr, &modified);
    return SOutcome::Done();
}

struct SClosed {};

// A close ends the comparison as it ends the copy.
SOutcome Verify(HANDLE source, HANDLE copy, const std::atomic<int32_t>& closing) {
    try {
        const ESameBytes same = CompareStreams(source, copy, [&] {
            if (closing.load()) throw SClosed{};
        });
        return same == ESameBytes::Same ? SOutcome::Done() : SOutcome::Left(ELeftReason::CopyDiffers);
    } catch (const SClosed&) {
        return SOutcome::Left(ELeftReason::Stopped);
    }
}

// Writes the partial copy from the source open as `source`, flushes it to the device
// and compares it, read back past the cache, with the source. The partial file is
// gone again unless the outcome is done.
SOutcome WritePartial(HANDLE source, const std::wstring& partial, const std::atomic<int32_t>& closing) {
    const std::wstring exact = ToLongPath(partial);
    SOutcome outcome;
    {
        win::UniqueHandle out(CreateFileW(exact.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!out) return SOutcome::Error(GetLastError());
        outcome = CopyBytes(source, out.get(), closing);
        if (outcome.done && !FlushFileBuffers(out.get())) outcome = SOutcome::Error(GetLastError());
    }
    if (outcome.done) {
        // Read back from the device, not the cache: a drive that reports more room
        // than it has returns other bytes than were written.
        win::UniqueHandle readBack(CreateFileW(exact.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                               FILE_FLAG_NO_BUFFERING, nullptr));
        if (!readBack)
            readBack.reset(CreateFileW(exact.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER zero = {};
        if (!readBack || !SetFilePointerEx(source, zero, nullptr, FILE_BEGIN))
            outcome = SOutcome::Left(ELeftReason::CopyDiffers, GetLastError());
        else
            outcome = Verify(source, readBack.get(), closing);
    }
    if (!outcome.done) DeleteFileW(exact.c_str());
    return outcome;
}

// The partial copy gets its real name.
SOutcome PlacePartial(const std::wstring& partial, const std::wstring& target, bool replace) {
    if (MoveFileExW(ToLongPath(partial).c_str(), ToLongPath(target).c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0))
        return SOutcome::Done();
    const SOutcome failed = SOutcome::Error(GetLastError());
    DeleteFileW(ToLongPath(partial).c_str());
    return failed;
}

// The copy takes the source's attributes (read-only, hidden, ...) once it has its
// name: a read-only partial file could not have been removed on failure.
void TakeAttributes(HANDLE source, const std::wstring& target) {
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(source, &info) && info.dwFileAttributes != FILE_ATTRIBUTE_NORMAL)
        SetFileAttributesW(ToLongPath(target).c_str(), info.dwFileAttributes & ~FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

SOutcome CopyVerified(const std::wstring& source, const std::wstring& target, bool replace,
                      const std::atomic<int32_t>& closing) {
    if (closing.load()) return SOutcome::Left(ELeftReason::Stopped);
    if (!replace && GetFileAttributesW(ToLongPath(target).c_str()) != INVALID_FILE_ATTRIBUTES)
        return SOutcome::Left(ELeftReason::TargetExists);
    win::UniqueHandle from(CreateFileW(ToLongPath(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!from) return SOutcome::Error(GetLastError());
    const std::wstring partial = PartialNameOf(target);
    SOutcome written = WritePartial(from.get(), partial, closing);
    if (!written.done) return written;
    SOutcome placed = PlacePartial(partial, target, replace);
    if (placed.done) TakeAttributes(from.get(), target);
    return placed;
}

SOutcome MoveVerified(const std::wstring& source, const std::wstring& target, bool replace,
                      const std::atomic<int32_t>& closing) {
    if (closing.load()) return SOutcome::Left(ELeftReason::Stopped);
    const std::wstring from = ToLongPath(source), to = ToLongPath(target);
    // On one volume a rename happens whole or not at all.
    if (MoveFileExW(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) return SOutcome::Done();
    const DWORD error = GetLastError();
    if (error != ERROR_NOT_SAME_DEVICE) return SOutcome::Error(error);
    if (!replace && GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES)
        return SOutcome::Left(ELeftReason::TargetExists);

    // Opened to be deleted, with nobody else allowed to write or rename it: what is
    // compared is what goes.
    win::UniqueHandle held(CreateFileW(from.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!held) return SOutcome::Error(GetLastError());
    // A read-only source would refuse its deletion after the copy took its name
    // (and after it replaced a file there): it stays, and nothing is copied.
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileInformationByHandle(held.get(), &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY))
        return SOutcome::Left(ELeftReason::SourceStayed, ERROR_ACCESS_DENIED);
    const std::wstring partial = PartialNameOf(target);
    SOutcome written = WritePartial(held.get(), partial, closing);
    if (!written.done) return written;
    SOutcome placed = PlacePartial(partial, target, replace);
    if (!placed.done) return placed;
    TakeAttributes(held.get(), target);
    // Only now may the source go; where it does not, the file has not moved and its
    // copy goes again.
    if (!DeleteOnClose(held.get())) {
        const DWORD refused = GetLastError();
        DeleteFileW(to.c_str());
        return SOutcome::Left(ELeftReason::SourceStayed, refused);
    }
    held.reset();
    if (NameState(source) == ENameState::Gone) return SOutcome::Done();
    DeleteFileW(to.c_str());
    return SOutcome::Left(ELeftReason::SourceStayed);
}
