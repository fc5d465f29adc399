#include "engine/FileDigest.h"

#include <memory>

#include "engine/FileError.h"
#include "engine/LongPath.h"
#include "engine/MD5Checksum.h"
#include "win/Handles.h"

namespace {

constexpr DWORD kBlockSize = 1048576;

}  // namespace

std::wstring DigestOfStream(HANDLE file) {
    CMD5Checksum md5;
    std::unique_ptr<unsigned char[]> buffer(new unsigned char[kBlockSize]);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer.get(), kBlockSize, &read, nullptr))
            throw CFileError(GetLastError(), std::wstring());
        if (read == 0) break;
        md5.Feed(buffer.get(), read);
    }
    return md5.Finish();
}

std::wstring DigestOfFile(const std::wstring& path) {
    win::UniqueHandle file(CreateFileW(ToLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) throw CFileError(GetLastError(), path);
    try {
        return DigestOfStream(file.get());
    } catch (const CFileError& e) {
        throw CFileError(e.Error(), path);
    }
}
