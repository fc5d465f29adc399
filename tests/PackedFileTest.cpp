#include <gtest/gtest.h>

#include "engine/PackedFile.h"

namespace {

SFileInfo Rec(const std::wstring& name, const std::wstring& path, const std::wstring& time,
              const std::wstring& md5 = L"", uint64_t size = 7) {
    return {name, path, time, size, md5};
}

}  // namespace

TEST(PackedFile, EveryRecordComesBackAsItWent) {
    CFolderNames folders;
    const std::wstring longName(300, L'名');
    const SFileInfo records[] = {
        Rec(L"a.txt", L"C:\\数据\\a.txt", L"2012-10-14 09:05:03", L"0123456789abcdef0123456789abcdef", 1ull << 40),
        Rec(L"a", L"C:\\数据\\a.txt", L"2012-10-04 19:05:59"),            // extension dropped
        Rec(L"", L"C:\\数据\\.txt", L"2012-10-14 09:05:03"),              // all of it an extension
        Rec(L"noext", L"C:\\x\\noext", L""),                               // no time text
        Rec(longName, L"\\\\?\\C:\\深\\" + longName, L"12345-01-02 03:04:05"),
        // Texts of another form are kept whole.
        Rec(L"b.txt", L"b.txt", L"2012-10-14 09:05:03"),                    // no folder
        Rec(L"other", L"C:\\x\\b.txt", L"2012-10-14 09:05:03"),             // not the listed name
        Rec(L"b.txt", L"C:\\x\\b.txt", L"2012-10-14 9:05:03"),              // "%02d" would give 09
        Rec(L"b.txt", L"C:\\x\\b.txt", L"yesterday"),
        Rec(L"b.txt", L"C:\\x\\b.txt", L"2012-10-14 09:05:03", L"0123456789ABCDEF0123456789ABCDEF"),
        Rec(L"b.txt", L"C:\\x\\b.txt", L"2012-10-14 09:05:03", L"short"),
    };
    for (const SFileInfo& record : records) {
        const CPackedFile packed(record, folders);
        EXPECT_EQ(record, packed.Unpack(folders)) << record.strPath << L" " << record.strTime;
        EXPECT_TRUE(packed.HasPath(record.strPath, folders));
        EXPECT_FALSE(packed.HasPath(record.strPath + L"x", folders));
        EXPECT_FALSE(packed.HasPath(L"D" + record.strPath.substr(1), folders));
    }
    // Paths share their folder.
    EXPECT_EQ(3u, folders.Count());
}

TEST(PackedFile, ComparesTimesAndDigestsWhicheverWayTheyAreKept) {
    CFolderNames folders;
    const std::wstring sum = L"0123456789abcdef0123456789abcdef";
    const CPackedFile packed(Rec(L"a", L"C:\\x\\a", L"2012-10-14 09:05:03", sum), folders);
    const CPackedFile whole(Rec(L"a", L"a", L"2012-10-14 09:05:03", sum), folders);
    const CPackedFile later = CPackedFile::Probe(Rec(L"", L"", L"2012-10-14 09:05:04", L""));
    const CPackedFile odd = CPackedFile::Probe(Rec(L"", L"", L"2012-10-14 9:05:03", L"ABC"));
    EXPECT_TRUE(packed.SameTime(whole));
    EXPECT_TRUE(whole.SameTime(packed));
    EXPECT_TRUE(packed.SameDigest(whole));
    EXPECT_FALSE(packed.SameTime(later));
    EXPECT_FALSE(packed.SameDigest(later));
    EXPECT_FALSE(packed.SameTime(odd));
    EXPECT_FALSE(odd.SameDigest(packed));
    EXPECT_EQ(L"a", packed.ListedName());
    EXPECT_EQ(L"a", whole.ListedName());
}
