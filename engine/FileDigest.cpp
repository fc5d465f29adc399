#include "engine/FileDigest.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "engine/DigestStore.h"
#include "engine/FileError.h"
#include "engine/LongPath.h"
#include "engine/MD5Checksum.h"
#include "win/Handles.h"

namespace {

std::atomic<unsigned> g_opens{0};
std::atomic<unsigned> g_quickOpens{0};

constexpr DWORD kBlockSize = 1048576;
constexpr DWORD kSmallestBuffer = 4096;

// Reads go in blocks of 1 MiB; a smaller file gets a buffer of its own size, since
// the system may touch every page of the buffer a read is given, and for a small
// file that costs more than the read itself.
DWORD BufferSizeFor(HANDLE file) {
    LARGE_INTEGER size, position, zero = {};
    if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, zero, &position, FILE_CURRENT))
        return kBlockSize;
    LONGLONG remaining = size.QuadPart - position.QuadPart;
    if (remaining >= kBlockSize) return kBlockSize;
    return remaining > kSmallestBuffer ? static_cast<DWORD>(remaining) : kSmallestBuffer;
}

// Digests to the end of the file. With the file's size known beforehand (a small
// file read whole), the buffer has one byte more than the file: a read that comes
// back with exactly the known size has met the end, and the empty read that would
// confirm it is saved. Under Wine every call is a round trip to the server.
std::wstring Digest(HANDLE file, const std::function<void()>& eachBlock, uint64_t knownSize) {
    CMD5Checksum md5;
    const bool known = knownSize < kBlockSize;
    const DWORD bufferSize = known ? std::max<DWORD>(static_cast<DWORD>(knownSize) + 1, kSmallestBuffer)
                                   : BufferSizeFor(file);
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[bufferSize]);
    uint64_t total = 0;
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.get(), bufferSize, &read, nullptr))
            throw CFileError(GetLastError(), std::wstring());
        if (read == 0) break;
        md5.Feed(buffer.get(), read);
        total += read;
        if (eachBlock) eachBlock();
        if (known && total == knownSize && read < bufferSize) break;
    }
    return md5.Finish();
}

}  // namespace

std::wstring DigestOfStream(HANDLE file, const std::function<void()>& eachBlock) {
    return Digest(file, eachBlock, kUnknownSize);
}

std::wstring DigestOfFile(const std::wstring& path, const std::function<void()>& eachBlock, uint64_t knownSize) {
    win::UniqueHandle file(CreateFileW(ToLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) throw CFileError(GetLastError(), path);
    ++g_opens;
    try {
        return Digest(file.get(), eachBlock, knownSize);
    } catch (const CFileError& e) {
        throw CFileError(e.Error(), path);
    }
}

std::wstring DigestOfFileStored(const std::wstring& path, CDigestStore& store, const std::function<void()>& eachBlock,
                                uint64_t knownSize) {
    win::UniqueHandle file(CreateFileW(ToLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) throw CFileError(GetLastError(), path);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file.get(), &info) != FALSE;
    const SFileId id{info.dwVolumeSerialNumber, (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    const CDigestStore::SStatus status{(static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                                       (static_cast<uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                                           info.ftLastWriteTime.dwLowDateTime};
    if (known)
        if (std::optional<std::wstring> digest = store.Find(id, status)) return *digest;
    FILETIME begun;
    GetSystemTimeAsFileTime(&begun);
    ++g_opens;
    std::wstring digest;
    try {
        digest = Digest(file.get(), eachBlock, knownSize);
    } catch (const CFileError& e) {
        throw CFileError(e.Error(), path);
    }
    if (known) store.Store(id, status, (static_cast<uint64_t>(begun.dwHighDateTime) << 32) | begun.dwLowDateTime, digest);
    return digest;
}

unsigned DigestOpenCount() { return g_opens.load(); }

uint64_t QuickSignatureOfFile(const std::wstring& path, uint64_t size) {
    win::UniqueHandle file(CreateFileW(ToLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw CFileError(GetLastError(), path);
    ++g_quickOpens;
    CMD5Checksum md5;
    unsigned char block[kQuickBlock];
    auto take = [&](uint64_t at) {
        LARGE_INTEGER to;
        to.QuadPart = static_cast<LONGLONG>(at);
        DWORD read = 0;
        if (!SetFilePointerEx(file.get(), to, nullptr, FILE_BEGIN) ||
            !ReadFile(file.get(), block, static_cast<DWORD>(sizeof block), &read, nullptr))
            throw CFileError(GetLastError(), path);
        md5.Feed(block, read);
    };
    take(0);
    if (size > kTailFrom) take(size - kQuickBlock);
    const std::wstring text = md5.Finish();
    // The first 16 hex digits as a number.
    return std::stoull(text.substr(0, 16), nullptr, 16);
}

unsigned QuickOpenCount() { return g_quickOpens.load(); }
