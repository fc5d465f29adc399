#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>
#include <string>

#include "engine/DigestPool.h"
#include "engine/FileDigest.h"
#include "engine/FileError.h"
#include "engine/MD5Checksum.h"
#include "tests/TempFolder.h"

namespace {

std::wstring DigestOf(const std::string& bytes) {
    CMD5Checksum md5;
    md5.Feed(bytes.data(), bytes.size());
    return md5.Finish();
}

bool IsDigestText(const std::wstring& text) {
    if (text.size() != 32) return false;
    for (wchar_t c : text)
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) return false;
    return true;
}

struct SizedCase {
    size_t size;
    const wchar_t* digest;   // of TempFolder::Pattern(size), from an independent tool
};

const SizedCase kSized[] = {
    {0, L"d41d8cd98f00b204e9800998ecf8427e"},
    {55, L"fe4c050c7a3d8b0c93d5baae6ca77fa1"},
    {56, L"6cf06c0659a33472a3005a497c53b3ab"},
    {63, L"b45d7746939fd1f4ce3d417b18ed2635"},
    {64, L"a36738582497d785e6c27f09c9b8a15d"},
    {65, L"ac810d9d23a3425a15adb534769f920b"},
    {1048576, L"717f0920b9c39605f4ad6923e0e0953b"},
    {1048577, L"21b97025b086593b2a77cfd29929cdb8"},
};

}  // namespace

TEST(Digest, Rfc1321TestSuite) {
    EXPECT_EQ(DigestOf(""), L"d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(DigestOf("a"), L"0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(DigestOf("abc"), L"900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(DigestOf("message digest"), L"f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(DigestOf("abcdefghijklmnopqrstuvwxyz"), L"c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(DigestOf("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              L"d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(DigestOf("1234567890123456789012345678901234567890"
                       "1234567890123456789012345678901234567890"),
              L"57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Digest, PaddingBoundariesInMemory) {
    for (const SizedCase& c : kSized) EXPECT_EQ(DigestOf(TempFolder::Pattern(c.size)), c.digest) << c.size;
}

TEST(Digest, AnySplitOfFeedGivesTheSameText) {
    const std::string bytes = TempFolder::Pattern(3 * 64 * 1024 + 17);
    const std::wstring whole = DigestOf(bytes);
    EXPECT_TRUE(IsDigestText(whole)) << whole;
    for (size_t chunk : {1u, 3u, 55u, 63u, 64u, 65u, 1000u, 4096u + 1}) {
        CMD5Checksum md5;
        for (size_t at = 0; at < bytes.size(); at += chunk)
            md5.Feed(bytes.data() + at, std::min(chunk, bytes.size() - at));
        EXPECT_EQ(md5.Finish(), whole) << "chunk " << chunk;
    }
    // Uneven pieces that leave the block buffer at every fill level.
    CMD5Checksum md5;
    size_t at = 0, piece = 0;
    while (at < bytes.size()) {
        size_t n = std::min(piece % 131, bytes.size() - at);
        md5.Feed(bytes.data() + at, n);
        at += n;
        ++piece;
    }
    EXPECT_EQ(md5.Finish(), whole);
}

TEST(DigestFile, SizesAroundBlocksAndTheReadBuffer) {
    TempFolder dir;
    for (const SizedCase& c : kSized) {
        std::wstring path = dir.Write(L"f" + std::to_wstring(c.size), TempFolder::Pattern(c.size));
        std::wstring text = DigestOfFile(path);
        EXPECT_EQ(text, c.digest) << c.size;
        EXPECT_TRUE(IsDigestText(text));
    }
}

TEST(DigestFile, FileHeldOpenForWritingRaisesFileError) {
    TempFolder dir;
    std::wstring path = dir.Write(L"busy.bin", "some content");
    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    try {
        DigestOfFile(path);
        ADD_FAILURE() << "no error for a file open for writing";
    } catch (const CFileError& e) {
        EXPECT_EQ(e.Error(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(e.Path(), path);
    }
    CloseHandle(writer);
    // Once the writer is gone the same file digests normally.
    EXPECT_EQ(DigestOfFile(path), DigestOf("some content"));
}

TEST(DigestFile, MissingFileRaisesFileError) {
    TempFolder dir;
    try {
        DigestOfFile(dir / L"absent.bin");
        ADD_FAILURE() << "no error for a missing file";
    } catch (const CFileError& e) {
        EXPECT_EQ(e.Error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    }
}

TEST(DigestFile, StreamDigestsFromTheCurrentPosition) {
    TempFolder dir;
    std::wstring path = dir.Write(L"s.bin", "headerbody");
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    SetFilePointer(h, 6, nullptr, FILE_BEGIN);
    EXPECT_EQ(DigestOfStream(h), DigestOf("body"));
    CloseHandle(h);
}

TEST(DigestFile, AKnownSizeThatIsWrongStillDigestsTheWholeFile) {
    TempFolder dir;
    for (size_t n : {0u, 1u, 4095u, 4096u, 70000u}) {
        const std::string bytes = TempFolder::Pattern(n);
        const std::wstring path = dir.Write(L"f" + std::to_wstring(n), bytes);
        const std::wstring whole = DigestOfFile(path);
        // Right, too small (the file grew since it was listed), too large (it shrank).
        for (uint64_t known : {static_cast<uint64_t>(n), static_cast<uint64_t>(n / 2), static_cast<uint64_t>(n + 5000)})
            EXPECT_EQ(whole, DigestOfFile(path, nullptr, known)) << n << " known as " << known;
    }
}

TEST(DigestPool, EveryJobEndsWithItsOwnDigestOrWhatItThrew) {
    std::atomic<int> ran{0};
    std::vector<std::shared_ptr<CDigestPool::SJob>> jobs;
    {
        CDigestPool pool(2);
        for (int i = 0; i < 9; ++i)
            jobs.push_back(pool.Submit([i, &ran]() -> std::wstring {
                ++ran;
                Sleep(i % 3);
                if (i == 4) throw CFileError(ERROR_ACCESS_DENIED, L"x");
                return std::to_wstring(i);
            }));
        for (int i = 0; i < 9; ++i) {
            if (i == 4) {
                EXPECT_THROW(pool.Take(*jobs[i]), CFileError);
                continue;
            }
            EXPECT_EQ(std::to_wstring(i), pool.Take(*jobs[i]));
        }
        EXPECT_EQ(0u, pool.Busy());
        // Jobs still queued when the pool ends are carried out before its threads end.
        for (int i = 0; i < 5; ++i) pool.Submit([&ran] { Sleep(1); ++ran; return std::wstring(); });
    }
    EXPECT_EQ(14, ran.load());
}
