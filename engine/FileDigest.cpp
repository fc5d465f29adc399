#include "engine/FileDigest.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "engine/DigestStore.h"
#include "engine/FileError.h"
#include "engine/FileIdentity.h"
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

std::optional<uint32_t> VolumeSerialOf(const std::wstring& path) {
    // The volume's root: "X:\\" for a drive path, else what the system says.
    std::wstring root;
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
        root = path.substr(0, 3);
    } else {
        std::wstring buffer(path.size() + 2, L'\0');
        if (!GetVolumePathNameW(ToLongPath(path).c_str(), buffer.data(), static_cast<DWORD>(buffer.size())))
            return std::nullopt;
        root = buffer.c_str();
    }
    static std::mutex lock;
    static std::map<std::wstring, uint32_t> serials;
    {
        std::lock_guard<std::mutex> guard(lock);
        auto it = serials.find(root);
        if (it != serials.end()) return it->second;
    }
    DWORD serial = 0;
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, &serial, nullptr, nullptr, nullptr, 0)) return std::nullopt;
    std::lock_guard<std::mutex> guard(lock);
    serials[root] = serial;
    return serial;
}

std::wstring DigestOfFileStored(const std::wstring& path, CDigestStore& store, const std::function<void()>& eachBlock,
                                uint64_t knownSize) {
    win::UniqueHandle file(CreateFileW(ToLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) throw CFileError(GetLastError(), path);
    // Asked piece by piece: the volume serial in one call per file costs several
    // times a small file's read under Wine, and a volume keeps its serial.
    LARGE_INTEGER size{};
    FILETIME written{};
    const std::optional<uint64_t> index = FileIndexOfHandle(file.get());
    const std::optional<uint32_t> volume = VolumeSerialOf(path);
    const bool known = index && volume && GetFileSizeEx(file.get(), &size) && GetFileTime(file.get(), nullptr, nullptr, &written);
    const SFileId id{volume.value_or(0), index.value_or(0)};
    const CDigestStore::SStatus status{static_cast<uint64_t>(size.QuadPart),
                                       (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime};
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
