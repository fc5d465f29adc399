// Digests kept between runs: what they are trusted for, the file they live in when it
// is damaged, foreign or shared by two programs, and their bound.
#include <gtest/gtest.h>

#include <string>

#include "engine/DigestStore.h"
#include "engine/FileDigest.h"
#include "tests/TempFolder.h"

namespace {

const std::wstring kSum = L"0123456789abcdef0123456789abcdef";
constexpr uint64_t kSecond = 10000000;


}  // namespace

TEST(DigestStore, AnEntryHoldsForItsSizeAndTimeAndOnlyWhenMadeWellAfterTheWrite) {
    CDigestStore store;
    const SFileId id{7, 42};
    const CDigestStore::SStatus status{1000, 500 * kSecond};
    store.Store(id, status, 600 * kSecond, kSum);
    EXPECT_EQ(kSum, store.Find(id, status).value_or(L""));
    EXPECT_FALSE(store.Find(id, {1001, 500 * kSecond}).has_value());
    EXPECT_FALSE(store.Find(id, {1000, 500 * kSecond + 1}).has_value());
    EXPECT_FALSE(store.Find(SFileId{8, 42}, status).has_value());
    // Read within the gap after the last write: a same-size rewrite in one clock
    // tick would not show, so it is not trusted.
    store.Store(id, status, 502 * kSecond, kSum);
    EXPECT_FALSE(store.Find(id, status).has_value());
    store.Store(SFileId{1, 1}, status, 600 * kSecond, L"not a digest");
    EXPECT_FALSE(store.Find(SFileId{1, 1}, status).has_value());
}

TEST(DigestStore, TheFileIsReadBackAndADamagedOrForeignOneIsIgnoredAndRebuilt) {
    TempFolder dir;
    const std::wstring path = dir.Path() + L"\\digests.cache";
    {
        CDigestStore store;
        store.Open(path);
        store.Store({1, 2}, {10, 20 * kSecond}, 30 * kSecond, kSum);
        store.Store({1, 3}, {11, 20 * kSecond}, 30 * kSecond, kSum);
        ASSERT_TRUE(store.Save());
    }
    CDigestStore again;
    again.Open(path);
    EXPECT_EQ(2u, again.Count());
    EXPECT_EQ(kSum, again.Find({1, 3}, {11, 20 * kSecond}).value_or(L""));
    // No temporary file is left beside it.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES,
              GetFileAttributesW((path + L"." + std::to_wstring(GetCurrentProcessId()) + L".tmp").c_str()));

    const std::string good = ReadFileBytes(path);
    std::string flipped = good;
    flipped[20] = static_cast<char>(flipped[20] ^ 1);
    for (const std::string& bad : {flipped, good.substr(0, good.size() - 5), std::string("[TWINSEEK]\r\nx=1\r\n"),
                                   std::string()}) {
        dir.Write(L"digests.cache", bad);
        CDigestStore broken;
        broken.Open(path);
        EXPECT_EQ(0u, broken.Count());
        // The next save writes a good file again.
        broken.Store({5, 5}, {1, kSecond}, 9 * kSecond, kSum);
        ASSERT_TRUE(broken.Save());
        CDigestStore rebuilt;
        rebuilt.Open(path);
        EXPECT_EQ(1u, rebuilt.Count());
    }
}

TEST(DigestStore, ACacheThatCannotBeWrittenFailsTheSaveAndKeepsWhatItHolds) {
    TempFolder dir;
    // A folder where the file should be: nothing can replace it.
    const std::wstring path = dir.MakeDir(L"digests.cache");
    CDigestStore store;
    store.Open(path);
    store.Store({1, 2}, {10, 20 * kSecond}, 30 * kSecond, kSum);
    EXPECT_FALSE(store.Save());
    EXPECT_EQ(kSum, store.Find({1, 2}, {10, 20 * kSecond}).value_or(L""));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str()));
}

TEST(DigestStore, TwoProgramsKeepEachOthersEntriesAndTheBoundDropsTheLeastUsed) {
    TempFolder dir;
    const std::wstring path = dir.Path() + L"\\digests.cache";
    CDigestStore one, two;
    one.Open(path);
    two.Open(path);
    one.Store({1, 1}, {1, kSecond}, 9 * kSecond, kSum);
    ASSERT_TRUE(one.Save());
    two.Store({2, 2}, {1, kSecond}, 9 * kSecond, kSum);
    ASSERT_TRUE(two.Save());
    CDigestStore both;
    both.Open(path);
    EXPECT_EQ(2u, both.Count());

    CDigestStore bounded;
    bounded.Open(path);
    bounded.SetBound(3);
    for (uint64_t i = 10; i < 15; ++i) {
        bounded.Store({9, i}, {1, kSecond}, 9 * kSecond, kSum);
        Sleep(20);   // each later use is newer
    }
    ASSERT_TRUE(bounded.Save());
    CDigestStore read;
    read.Open(path);
    EXPECT_EQ(3u, read.Count());
    for (uint64_t i = 12; i < 15; ++i) EXPECT_TRUE(read.Find({9, i}, {1, kSecond}).has_value()) << i;
    // Cleared: the file holds nothing, whatever was there.
    read.Clear();
    ASSERT_TRUE(read.Save());
    CDigestStore empty;
    empty.Open(path);
    EXPECT_EQ(0u, empty.Count());
}

TEST(DigestStore, ADigestReadOnceIsNotReadAgainByTheNextRun) {
    TempFolder dir;
    const std::wstring file = dir.Write(L"a.bin", std::string(5000, 'q'));
    // Written long ago, as far as the store can tell.
    TempFolder::SetLocalTime(file, 2015, 3, 1, 12, 0, 0);
    const std::wstring path = dir.Path() + L"\\digests.cache";
    std::wstring first;
    {
        CDigestStore store;
        store.Open(path);
        first = DigestOfFileStored(file, store);
        store.Save();
    }
    CDigestStore next;
    next.Open(path);
    const unsigned reads = DigestOpenCount();
    EXPECT_EQ(first, DigestOfFileStored(file, next));
    EXPECT_EQ(reads, DigestOpenCount());
    EXPECT_EQ(first, DigestOfFile(file));
    // A file written just now is read again, however often asked.
    const std::wstring fresh = dir.Write(L"b.bin", std::string(5000, 'r'));
    DigestOfFileStored(fresh, next);
    const unsigned before = DigestOpenCount();
    DigestOfFileStored(fresh, next);
    EXPECT_EQ(before + 1, DigestOpenCount());
}
