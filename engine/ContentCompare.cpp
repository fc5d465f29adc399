#include "engine/ContentCompare.h"

#include <cstring>
#include <cstdint>

#include "engine/LongPath.h"
#include "win/Handles.h"

namespace {

constexpr DWORD kBlockSize = 1048576;

win::UniqueHandle OpenForCompare(const std::wstring& path) {
    return win::UniqueHandle(CreateFileW(ToLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

// Page-aligned, as a read that bypasses the cache needs.
class CBlock {
public:
    CBlock() : data_(static_cast<unsigned char*>(VirtualAlloc(nullptr, kBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))) {}
    ~CBlock() {
        if (data_) VirtualFree(data_, 0, MEM_RELEASE);
    }
    CBlock(const CBlock&) = delete;
    CBlock& operator=(const CBlock&) = delete;
    unsigned char* get() const { return data_; }

private:
    unsigned char* data_;
};

// Reads at least `want` bytes into the block: a read may return less than asked for
// before the end (a network file). Every read asks for the rest of the block, so a
// read past the cache stays a whole number of sectors.
bool ReadAtLeast(HANDLE file, unsigned char* block, DWORD want) {
    DWORD got = 0;
    while (got < want) {
        DWORD read = 0;
        if (!ReadFile(file, block + got, kBlockSize - got, &read, nullptr) || read == 0) return false;
        got += read;
    }
    return true;
}

}  // namespace

ESameBytes CompareStreams(HANDLE a, HANDLE b, const std::function<void()>& eachBlock) {
    LARGE_INTEGER sizeA, sizeB, atA, atB, zero = {};
    if (!GetFileSizeEx(a, &sizeA) || !GetFileSizeEx(b, &sizeB) || !SetFilePointerEx(a, zero, &atA, FILE_CURRENT) ||
        !SetFilePointerEx(b, zero, &atB, FILE_CURRENT))
        return ESameBytes::Unreadable;
    if (sizeA.QuadPart - atA.QuadPart != sizeB.QuadPart - atB.QuadPart) return ESameBytes::Different;
    CBlock blockA, blockB;
    if (!blockA.get() || !blockB.get()) return ESameBytes::Unreadable;
    for (uint64_t remaining = static_cast<uint64_t>(sizeA.QuadPart - atA.QuadPart); remaining > 0;) {
        const DWORD want = remaining < kBlockSize ? static_cast<DWORD>(remaining) : kBlockSize;
        // A file that shrank since its size was read ends early: nothing is known.
        if (!ReadAtLeast(a, blockA.get(), want) || !ReadAtLeast(b, blockB.get(), want)) return ESameBytes::Unreadable;
        if (std::memcmp(blockA.get(), blockB.get(), want) != 0) return ESameBytes::Different;
        remaining -= want;
        if (eachBlock && remaining) eachBlock();
    }
    return ESameBytes::Same;
}

ESameBytes CompareWithFile(HANDLE open, const std::wstring& path, const std::function<void()>& eachBlock) {
    win::UniqueHandle other = OpenForCompare(path);
    LARGE_INTEGER zero = {};
    if (!other || !SetFilePointerEx(open, zero, nullptr, FILE_BEGIN)) return ESameBytes::Unreadable;
    return CompareStreams(open, other.get(), eachBlock);
}

ESameBytes CompareFiles(const std::wstring& a, const std::wstring& b, const std::function<void()>& eachBlock) {
    win::UniqueHandle first = OpenForCompare(a);
    if (!first) return ESameBytes::Unreadable;
    return CompareWithFile(first.get(), b, eachBlock);
}
