#include <gtest/gtest.h>

#include "engine/FileInfoMap.h"
#include "engine/FileStatus.h"
#include "tests/TempFolder.h"

namespace {

SFileInfo Rec(const std::wstring& name, const std::wstring& path, uint64_t size = 0,
              const std::wstring& time = L"2012-10-14 09:05:03", const std::wstring& md5 = L"") {
    SFileInfo r;
    r.strName = name;
    r.strPath = path;
    r.nSize = size;
    r.strTime = time;
    r.strMD5 = md5;
    return r;
}

const std::wstring kSumA = L"0123456789abcdef0123456789abcdef";

}  // namespace

TEST(Groups, KeyOrderingFoldsOnlyAsciiLetters) {
    c_less_ty less;
    EXPECT_FALSE(less(L"a.txt", L"A.TXT"));
    EXPECT_FALSE(less(L"A.TXT", L"a.txt"));
    // '_' (0x5F) lies between 'Z' and 'a': folding happens before comparing.
    EXPECT_TRUE(less(L"_", L"A"));
    EXPECT_TRUE(less(L"ab", L"abc"));   // a prefix comes first
    EXPECT_FALSE(less(L"abc", L"ab"));
    // Non-ASCII letters keep their case, and code units compare unsigned.
    EXPECT_TRUE(less(L"\u00C9", L"\u00E9"));
    EXPECT_TRUE(less(L"z", L"\uFF21"));

    CFileInfoMap map;
    EXPECT_EQ(map.AddFile(Rec(L"\u00E9t\u00E9.txt", L"C:\\1\\x")), 1);
    EXPECT_EQ(map.AddFile(Rec(L"\u00C9T\u00C9.txt", L"C:\\2\\x")), 1);
}

TEST(Groups, ExactModeNamesWithSizeCriterion) {
    CFileInfoMap map;
    map.SetCriteria(2);
    EXPECT_EQ(map.MakeKey(Rec(L"report.doc", L"C:\\r", 52224)), L"report.doc|52224");
    EXPECT_EQ(map.AddFile(Rec(L"a.txt", L"C:\\1\\a.txt", 100)), 1);
    EXPECT_EQ(map.AddFile(Rec(L"A.TXT", L"C:\\2\\A.TXT", 100)), 0);
    EXPECT_EQ(map.AddFile(Rec(L"b.txt", L"C:\\3\\b.txt", 100)), 1);
    EXPECT_EQ(map.AddFile(Rec(L"a.txt", L"C:\\4\\a.txt", 101)), 1);
    EXPECT_EQ(map.GetGroupSize(Rec(L"a.txt", L"C:\\9\\a.txt", 100)), 2);

    SFileInfo first;
    ASSERT_TRUE(map.GetFirstFile(Rec(L"A.txt", L"C:\\9\\A.txt", 100), first));
    EXPECT_EQ(first.strPath, L"C:\\1\\a.txt");
    EXPECT_FALSE(map.GetFirstFile(Rec(L"c.txt", L"C:\\c.txt", 100), first));
    EXPECT_EQ(first.strPath, L"C:\\1\\a.txt");   // untouched when not found
}

TEST(Groups, TimeSizeKeysAndSizesFourGiBApart) {
    CFileInfoMap map;
    map.SetCriteria(1 | 2);
    const uint64_t small = 7, big = small + (uint64_t(1) << 32);
    EXPECT_EQ(map.MakeKey(Rec(L"x", L"p", big)), L"x|2012-10-14 09:05:03|4294967303");
    EXPECT_EQ(map.AddFile(Rec(L"x", L"C:\\1\\x", small)), 1);
    EXPECT_EQ(map.AddFile(Rec(L"x", L"C:\\2\\x", big)), 1);
    EXPECT_EQ(map.AddFile(Rec(L"x", L"C:\\3\\x", big, L"2012-10-14 09:05:04")), 1);
}

TEST(Groups, NoCriterionGroupsEqualNamesWhateverTheirSize) {
    CFileInfoMap map;
    EXPECT_EQ(map.AddFile(Rec(L"same.bin", L"C:\\1\\same.bin", 1)), 1);
    EXPECT_EQ(map.AddFile(Rec(L"same.bin", L"C:\\2\\same.bin", 2, L"other")), 0);
    EXPECT_EQ(map.GetGroupSize(Rec(L"SAME.BIN", L"")), 2);
}

TEST(Groups, SamePathTwiceAndClearGroupsThenReAdd) {
    CFileInfoMap map;
    map.SetCriteria(2);
    SFileInfo a = Rec(L"a", L"C:\\1\\a", 5), b = Rec(L"a", L"C:\\2\\a", 5);
    EXPECT_EQ(map.AddFile(a), 1);
    EXPECT_EQ(map.AddFile(b), 0);
    EXPECT_EQ(map.AddFile(b), -1);
    EXPECT_EQ(map.GetGroupSize(a), 2);

    map.ClearGroups();
    EXPECT_EQ(map.size(), 1u);   // keys stay
    EXPECT_EQ(map.GetGroupSize(a), 0);
    EXPECT_EQ(map.AddFile(b), 0);   // appended to the emptied group
    EXPECT_EQ(map.GetGroupSize(a), 1);
    SFileInfo first;
    ASSERT_TRUE(map.GetFirstFile(a, first));
    EXPECT_EQ(first, b);
}

TEST(Groups, DigestCriterionAloneDecides) {
    CFileInfoMap map;
    map.SetCriteria(1 | 2 | 4);
    map.SetSimilarName(1);
    SFileInfo a = Rec(L"holiday.jpg", L"C:\\1\\holiday.jpg", 10, L"t1", kSumA);
    SFileInfo b = Rec(L"IMG_0001.jpg", L"D:\\x\\IMG_0001.jpg", 10, L"t2", kSumA);
    EXPECT_EQ(map.MakeKey(a), kSumA);
    EXPECT_EQ(map.AddFile(a), 1);
    EXPECT_EQ(map.AddFile(b), 0);
    EXPECT_EQ(map.GetGroupSize(b), 2);
    EXPECT_EQ(map.AddFile(Rec(L"holiday.jpg", L"C:\\2\\holiday.jpg", 10, L"t1",
                              L"ffffffffffffffffffffffffffffffff")),
              1);
}

TEST(GroupsSimilar, SubstringRulesAreCaseSensitive) {
    CFileInfoMap map;
    map.SetSimilarName(1);
    EXPECT_EQ(map.MakeKey(Rec(L"photo.jpg", L"")), L"photo");
    EXPECT_EQ(map.AddFile(Rec(L"photo.jpg", L"C:\\photo.jpg")), 1);
    EXPECT_EQ(map.AddFile(Rec(L"photo (2).jpg", L"C:\\photo (2).jpg")), 0);
    EXPECT_EQ(map.GetGroupSize(Rec(L"photo (2).jpg", L"C:\\other")), 2);
    // "Photo" is not contained in "photo (2)", but its key equals "photo" by folding.
    EXPECT_EQ(map.AddFile(Rec(L"Photo.png", L"C:\\Photo.png")), 0);
    EXPECT_EQ(map.AddFile(Rec(L"Photo (3).jpg", L"C:\\Photo (3).jpg")), 1);
    // The key of the first file fixes the group: "to" is in "photo".
    EXPECT_EQ(map.AddFile(Rec(L"to.txt", L"C:\\to.txt")), 0);
    EXPECT_EQ(map.GetGroupSize(Rec(L"photo.jpg", L"")), 4);
}

TEST(GroupsSimilar, WalkTakesFirstAcceptingGroupInKeyOrder) {
    CFileInfoMap map;
    map.SetSimilarName(1);
    map.SetCriteria(2);
    EXPECT_EQ(map.AddFile(Rec(L"b.txt", L"C:\\b.txt", 20)), 1);    // key b|20
    EXPECT_EQ(map.AddFile(Rec(L"AB.txt", L"C:\\AB.txt", 10)), 1);  // key AB|10, before b|20
    // "abc" does not contain "AB" (case counts) but contains "b", and size 20 fits.
    EXPECT_EQ(map.AddFile(Rec(L"abc.txt", L"C:\\abc.txt", 20)), 0);
    SFileInfo first;
    ASSERT_TRUE(map.GetFirstFile(Rec(L"abc.txt", L"C:\\abc.txt", 20), first));
    EXPECT_EQ(first.strPath, L"C:\\b.txt");
    // "xABy" contains "AB", the first group in key order, whose size fits.
    EXPECT_EQ(map.AddFile(Rec(L"xABy.txt", L"C:\\xABy.txt", 10)), 0);
    ASSERT_TRUE(map.GetFirstFile(Rec(L"xABy.txt", L"C:\\xABy.txt", 10), first));
    EXPECT_EQ(first.strPath, L"C:\\AB.txt");
    // Similar name but no member of that size: a group of its own.
    EXPECT_EQ(map.AddFile(Rec(L"ab.txt", L"C:\\ab.txt", 30)), 1);
}

TEST(GroupsSimilar, DotProfileHasAnEmptyStrippedName) {
    CFileInfoMap map;
    map.SetSimilarName(1);
    EXPECT_EQ(map.MakeKey(Rec(L".profile", L"")), L"");
    EXPECT_EQ(map.AddFile(Rec(L"zeta.txt", L"C:\\zeta.txt")), 1);
    EXPECT_EQ(map.AddFile(Rec(L"alpha.txt", L"C:\\alpha.txt")), 1);
    // Similar to every group; the first in key order takes it.
    EXPECT_EQ(map.AddFile(Rec(L".profile", L"C:\\.profile")), 0);
    SFileInfo first;
    ASSERT_TRUE(map.GetFirstFile(Rec(L".profile", L"C:\\.profile"), first));
    EXPECT_EQ(first.strName, L"alpha.txt");

    // Starting a group of its own, the empty key comes first and takes every new name.
    CFileInfoMap fresh;
    fresh.SetSimilarName(1);
    EXPECT_EQ(fresh.AddFile(Rec(L".profile", L"C:\\.profile")), 1);
    EXPECT_EQ(fresh.AddFile(Rec(L"anything.doc", L"C:\\anything.doc")), 0);
    EXPECT_EQ(fresh.GetGroupSize(Rec(L".profile", L"C:\\x")), 2);
}

TEST(GroupsSimilar, EmptiedGroupsNeverQualify) {
    CFileInfoMap map;
    map.SetSimilarName(1);
    map.AddFile(Rec(L"photo.jpg", L"C:\\photo.jpg"));
    map.ClearGroups();
    EXPECT_EQ(map.AddFile(Rec(L"photo (2).jpg", L"C:\\photo (2).jpg")), 1);
    EXPECT_EQ(map.GetGroupSize(Rec(L"photo (2).jpg", L"C:\\photo (2).jpg")), 1);
}

TEST(GroupsSimilar, AFileMetAgainIsNeverListedTwice) {
    TempFolder dir;
    CFileInfoMap map;
    map.SetSimilarName(1);
    const SFileInfo first = Rec(L"photo.jpg", dir.Write(L"a\\photo.jpg", "1"));
    const SFileInfo second = Rec(L"photo (2).jpg", dir.Write(L"b\\photo (2).jpg", "2"));
    EXPECT_EQ(map.AddFile(first), 1);
    EXPECT_EQ(map.AddFile(second), 0);
    // The folder searched again: the first member would let the second one in again.
    EXPECT_EQ(map.AddFile(second), -1);
    EXPECT_EQ(map.AddFile(first), -1);
    EXPECT_EQ(map.GetGroupSize(first), 2);
    // Taken out, it may come back once.
    ASSERT_TRUE(map.TakeFile(second.strName, second.strPath).found);
    EXPECT_EQ(map.AddFile(second), 0);
    EXPECT_EQ(map.AddFile(second), -1);
    EXPECT_EQ(map.GetGroupSize(first), 2);
}

TEST(Groups, AVeryCommonNameMetAgainCostsNoWalkOverItsGroup) {
    // Thousands of equal names in one group, searched twice: the second time every
    // file is refused, without comparing it with every member.
    CFileInfoMap map;
    const int n = 30000;
    std::vector<SFileInfo> records;
    for (int i = 0; i < n; ++i) records.push_back(Rec(L"desktop.ini", L"C:\\d" + std::to_wstring(i) + L"\\desktop.ini"));
    for (const SFileInfo& r : records) map.AddFile(r);
    int refused = 0;
    for (const SFileInfo& r : records) refused += map.AddFile(r) == -1;
    EXPECT_EQ(n, refused);
    EXPECT_EQ(n, map.GetGroupSize(records[0]));
    map.ClearGroups();
    EXPECT_EQ(map.AddFile(records[5]), 0);   // into the emptied group
    EXPECT_EQ(map.AddFile(records[5]), -1);
}

TEST(Groups, RemoveFileAndGroupSizeOnDiskReadTheFileAgain) {
    TempFolder dir;
    std::wstring p1 = dir.Write(L"a.bin", "same"), p2 = dir.Write(L"sub\\a.bin", "same");

    CFileInfoMap map;
    map.SetCriteria(2 | 4);
    auto fromDisk = [](const std::wstring& name, const std::wstring& path) {
        SFileInfo r;
        r.strName = name;
        r.strPath = path;
        ReadFileStatus(path, r.nSize, r.strTime);
        r.strMD5 = L"51037a4a37730f52c8732586d3aaa316";   // MD5 of "same"
        return r;
    };
    EXPECT_EQ(map.AddFile(fromDisk(L"a.bin", p1)), 1);
    EXPECT_EQ(map.AddFile(fromDisk(L"a.bin", p2)), 0);
    EXPECT_EQ(map.GroupSizeOnDisk(L"a.bin", p2), 2);

    map.RemoveFile(L"a.bin", p1);
    EXPECT_EQ(map.GroupSizeOnDisk(L"a.bin", p2), 1);
    SFileInfo first;
    ASSERT_TRUE(map.GetFirstFile(fromDisk(L"a.bin", p2), first));
    EXPECT_EQ(first.strPath, p2);   // the next member became the first

    // A file whose content changed is not located any more: nothing happens.
    dir.Write(L"sub\\a.bin", "changed");
    map.RemoveFile(L"a.bin", p2);
    EXPECT_EQ(map.GetGroupSize(fromDisk(L"a.bin", p2)), 1);
}

TEST(Groups, TakenFileGoesBackToItsPlaceOnce) {
    TempFolder dir;
    std::wstring paths[3];
    for (int i = 0; i < 3; ++i) paths[i] = dir.Write(L"f" + std::to_wstring(i) + L".txt", "x");
    CFileInfoMap map;
    for (const auto& p : paths) map.AddFile(Rec(L"dup.txt", p));

    SRemovedFile taken = map.TakeFile(L"dup.txt", paths[1]);
    ASSERT_TRUE(taken.found);
    EXPECT_EQ(1u, taken.position);
    EXPECT_EQ(2, map.GetGroupSize(Rec(L"dup.txt", paths[0])));

    map.PutBack(taken);
    map.PutBack(taken);   // a second put-back finds the path there and adds nothing
    auto group = [&] { return map.Members(Rec(L"dup.txt", paths[0])); };
    ASSERT_EQ(3u, group().size());
    for (int i = 0; i < 3; ++i) EXPECT_EQ(paths[i], group()[i].strPath);

    // The first member goes back in front, even after the others left meanwhile.
    taken = map.TakeFile(L"dup.txt", paths[0]);
    map.RemoveFile(L"dup.txt", paths[2]);
    map.PutBack(taken);
    ASSERT_EQ(2u, group().size());
    EXPECT_EQ(paths[0], group()[0].strPath);

    EXPECT_FALSE(map.TakeFile(L"other.txt", paths[0]).found);

    // Groups cleared meanwhile (a new search is on its way): nothing goes back.
    taken = map.TakeFile(L"dup.txt", paths[0]);
    map.ClearGroups();
    map.PutBack(taken);
    EXPECT_TRUE(group().empty());
}

TEST(Groups, AddFileReportsTheGroupALaterLookupFinds) {
    // Similar names with the size criterion: joins by walk, by key, new groups and a
    // path met twice, each checked against GetGroupSize and GetFirstFile afterwards.
    CFileInfoMap map;
    map.SetSimilarName(1);
    map.SetCriteria(2);
    const SFileInfo records[] = {
        Rec(L"photo.jpg", L"C:\\a\\photo.jpg", 5),     Rec(L"photo (2).jpg", L"C:\\b\\photo (2).jpg", 5),
        Rec(L"photo (3).jpg", L"C:\\c\\photo (3).jpg", 7), Rec(L"photo.png", L"C:\\d\\photo.png", 5),
        Rec(L"other.txt", L"C:\\a\\other.txt", 5),     Rec(L"photo.jpg", L"C:\\a\\photo.jpg", 5),
        Rec(L"my photo (3).gif", L"C:\\e\\my photo (3).gif", 7),
    };
    const int expected[][2] = {{1, 1}, {0, 2}, {1, 1}, {0, 3}, {1, 1}, {-1, 0}, {0, 2}};
    for (size_t i = 0; i < std::size(records); ++i) {
        int size = -5;
        SFileInfo first;
        EXPECT_EQ(expected[i][0], map.AddFile(records[i], size, first)) << i;
        EXPECT_EQ(expected[i][1], size) << i;
        if (expected[i][0] < 0) continue;
        SFileInfo looked;
        ASSERT_TRUE(map.GetFirstFile(records[i], looked)) << i;
        EXPECT_EQ(looked.strPath, first.strPath) << i;
        EXPECT_EQ(map.GetGroupSize(records[i]), size) << i;
    }
}

TEST(GroupsTally, CountsGroupsOfTwoAndTheBytesBeyondTheLargestAsTheyChange) {
    TempFolder dir;
    CFileInfoMap map;
    map.SetCriteria(0);
    auto add = [&](const std::wstring& relative, size_t bytes) {
        const std::wstring path = dir.Write(relative, std::string(bytes, 'x'));
        SFileInfo r;
        ReadFileStatus(path, r.nSize, r.strTime);
        r.strPath = path;
        r.strName = relative.substr(relative.rfind(L'\\') + 1);
        map.AddFile(r);
        return path;
    };
    add(L"a\\lone.txt", 7);
    EXPECT_EQ(0u, map.Tally().groups);
    add(L"a\\n.txt", 100);
    add(L"b\\n.txt", 300);
    const std::wstring third = add(L"c\\n.txt", 200);
    EXPECT_EQ(1u, map.Tally().groups);
    EXPECT_EQ(300u, map.Tally().spare);   // 100 + 300 + 200 beyond the 300

    // A big group keeps its sums as members come and go, the largest included.
    std::vector<std::wstring> big;
    for (int i = 0; i < 20; ++i) big.push_back(add(L"d" + std::to_wstring(i) + L"\\big.bin", 10));
    const std::wstring largest = add(L"e\\big.bin", 50);
    EXPECT_EQ(2u, map.Tally().groups);
    EXPECT_EQ(300u + 200u, map.Tally().spare);
    EXPECT_TRUE(map.TakeFile(L"big.bin", largest).found);
    EXPECT_EQ(300u + 190u, map.Tally().spare);
    const SRemovedFile taken = map.TakeFile(L"n.txt", third);
    EXPECT_EQ(300u - 200u + 190u, map.Tally().spare);
    map.PutBack(taken);
    EXPECT_EQ(300u + 190u, map.Tally().spare);
    for (size_t i = 0; i + 1 < big.size(); ++i) map.TakeFile(L"big.bin", big[i]);
    EXPECT_EQ(1u, map.Tally().groups);
    EXPECT_EQ(300u, map.Tally().spare);
    map.ClearGroups();
    EXPECT_EQ(0u, map.Tally().groups);
    EXPECT_EQ(0u, map.Tally().spare);
}

TEST(Groups, AFileAloneWithItsKeyAnswersAsAGroupOfOneUntilItsTwinComes) {
    CFileInfoMap map;
    const SFileInfo first = Rec(L"Report.txt", L"C:\\a\\Report.txt", 5);
    EXPECT_EQ(1, map.AddFile(first));
    EXPECT_EQ(-1, map.AddFile(first));   // the same file met again
    EXPECT_EQ(1, map.GetGroupSize(first));
    SFileInfo found;
    ASSERT_TRUE(map.GetFirstFile(first, found));
    EXPECT_EQ(first.strPath, found.strPath);
    EXPECT_EQ(1u, map.Members(first).size());
    // Overwriting guards still see it among the files found.
    EXPECT_EQ(std::vector<std::wstring>{first.strPath}, map.MemberPathsNamed(L"REPORT.TXT"));

    // Its twin, spelt in other letter case: a group of two under the first one's key.
    int size = 0;
    SFileInfo head;
    EXPECT_EQ(0, map.AddFile(Rec(L"REPORT.TXT", L"C:\\b\\REPORT.TXT", 7), size, head));
    EXPECT_EQ(2, size);
    EXPECT_EQ(first.strPath, head.strPath);
    ASSERT_EQ(1u, map.count(L"Report.txt"));
    EXPECT_EQ(L"Report.txt", map.find(L"report.txt")->first);
    EXPECT_EQ(1u, map.Tally().groups);

    // Criteria changed while a file is alone: it keeps the group the old ones gave it.
    EXPECT_EQ(1, map.AddFile(Rec(L"alone.txt", L"C:\\a\\alone.txt", 9)));
    map.SetCriteria(2);   // sizes too
    EXPECT_EQ(1u, map.count(L"alone.txt"));
    EXPECT_EQ(1, map.AddFile(Rec(L"alone.txt", L"C:\\c\\alone.txt", 9)));
    EXPECT_EQ(1, map.GetGroupSize(Rec(L"alone.txt", L"C:\\c\\alone.txt", 9)));
}
