// Whether a pass may give a file up: only for a kept copy that is another file on disk.
#include <gtest/gtest.h>

#include "engine/FileIdentity.h"
#include "engine/FileInfoMap.h"
#include "engine/FileStatus.h"
#include "fileops/KeptCopies.h"
#include "tests/TempFolder.h"

namespace {

SFileInfo Found(const std::wstring& path) {
    SFileInfo r;
    r.strName = path.substr(path.rfind(L'\\') + 1);
    r.strPath = path;
    ReadFileStatus(path, r.nSize, r.strTime);
    return r;
}

// The file about to be given up, as the pass reads it.
SGivenFile Given(const std::wstring& path) {
    SGivenFile given;
    given.id = *FileIdentityOf(path);
    ReadFileStatus(path, given.size, given.time);
    return given;
}

bool Besides(CKeptCopies& kept, const std::wstring& key, const std::wstring& path) {
    return kept.CopyBesides(key, Given(path)) == EKeptCopy::Found;
}

}  // namespace

TEST(KeptCopies, AKeptFileCountsWhileItIsOnDiskAndStillInItsGroup) {
    TempFolder dir;
    const std::wstring a = dir.Write(L"a\\f.txt", "same"), b = dir.Write(L"b\\f.txt", "same");
    CFileInfoMap map;
    map.SetCriteria(2);
    map.AddFile(Found(a));
    map.AddFile(Found(b));
    const std::wstring key = map.MakeKey(Found(a));

    CKeptCopies kept(map);
    EXPECT_FALSE(Besides(kept, key, b));   // nothing kept yet
    kept.Keep(L"f.txt", a);
    EXPECT_TRUE(Besides(kept, key, b));
    EXPECT_TRUE(Besides(kept, key, b));    // asked again, from what it found
    EXPECT_FALSE(Besides(kept, key, a));   // no copy of itself
    EXPECT_FALSE(Besides(kept, L"f.txt|9", b));   // a member of another group

    // Edited since the search: it no longer belongs to the group.
    dir.Write(L"a\\f.txt", "edited");
    EXPECT_FALSE(Besides(kept, key, b));
    dir.Write(L"a\\f.txt", "same");
    EXPECT_TRUE(Besides(kept, key, b));
    // Vanished.
    DeleteFileW(a.c_str());
    EXPECT_FALSE(Besides(kept, key, b));

    // A later kept file stands in; a new group starts with none.
    kept.Keep(L"f.txt", b);
    const std::wstring c = dir.Write(L"c\\f.txt", "same");
    map.AddFile(Found(c));
    EXPECT_TRUE(Besides(kept, key, c));
    kept.Reset();
    EXPECT_FALSE(Besides(kept, key, c));
}

TEST(KeptCopies, TheSameFileUnderAnotherSpellingOrThroughALinkIsNoCopy) {
    TempFolder dir;
    const std::wstring photo = dir.Write(L"photos\\p.jpg", "only one");
    dir.Write(L"real\\thesis.doc", "only one");
    ASSERT_TRUE(TempFolder::MakeFolderLink(dir.Path(), L"alias", L"real"));
    CFileInfoMap map;   // names only
    const std::wstring upper = dir / L"PHOTOS\\p.jpg", linked = dir / L"alias\\thesis.doc";
    for (const std::wstring& p : {photo, upper, linked, dir / L"real\\thesis.doc"}) map.AddFile(Found(p));
    ASSERT_EQ(2, map.GetGroupSize(Found(upper)));
    ASSERT_EQ(2, map.GetGroupSize(Found(linked)));

    CKeptCopies kept(map);
    kept.Keep(L"p.jpg", photo);
    EXPECT_FALSE(Besides(kept, map.MakeKey(Found(upper)), upper));
    kept.Reset();
    kept.Keep(L"thesis.doc", linked);
    EXPECT_FALSE(Besides(kept, L"thesis.doc", dir / L"real\\thesis.doc"));
}

TEST(KeptCopies, ACopyInARecycleBinIsNeverKeptAndBytesAreComparedWhenAsked) {
    TempFolder dir;
    const std::wstring live = dir.Write(L"docs\\r.txt", "mine"), binned = dir.Write(L"$RECYCLE.BIN\\S-1-5\\r.txt", "mine");
    const std::wstring other = dir.Write(L"other\\r.txt", "theirs");
    CFileInfoMap map;   // names only: all three are one group
    for (const std::wstring& p : {binned, live, other}) map.AddFile(Found(p));
    const std::wstring key = map.MakeKey(Found(live));
    ASSERT_EQ(3, map.GetGroupSize(Found(live)));

    CKeptCopies kept(map);
    kept.Keep(L"r.txt", binned);
    EXPECT_EQ(EKeptCopy::Gone, kept.CopyBesides(key, Given(live)));

    // Same name, other bytes: the criteria say copy, the bytes say no.
    kept.Reset();
    kept.Keep(L"r.txt", live);
    const auto compare = [&](const std::wstring& with) { return [&, with](const std::wstring& keptPath) {
        return CompareFiles(with, keptPath);
    }; };
    EXPECT_EQ(EKeptCopy::Found, kept.CopyBesides(key, Given(other)));
    EXPECT_EQ(EKeptCopy::Differs, kept.CopyBesides(key, Given(other), compare(other)));
    EXPECT_EQ(EKeptCopy::Found, kept.CopyBesides(key, Given(binned), compare(binned)));
    // A second kept file with the same bytes is enough.
    kept.Keep(L"r.txt", other);
    const std::wstring third = dir.Write(L"third\\r.txt", "theirs");
    map.AddFile(Found(third));
    EXPECT_EQ(EKeptCopy::Found, kept.CopyBesides(key, Given(third), compare(third)));
}

TEST(KeptCopies, OneFileIndexWithOneSizeAndTimeIsOneFileWhateverTheVolumeSerial) {
    // One share reached through two names reports two serials for the same file.
    const SFileId a{1, 42}, b{2, 42}, c{1, 43};
    EXPECT_TRUE(SameFileOnDisk(a, 5, L"t", a, 5, L"t"));
    EXPECT_TRUE(SameFileOnDisk(a, 5, L"t", b, 5, L"t"));
    EXPECT_FALSE(SameFileOnDisk(a, 5, L"t", b, 6, L"t"));
    EXPECT_FALSE(SameFileOnDisk(a, 5, L"t", b, 5, L"u"));
    EXPECT_FALSE(SameFileOnDisk(a, 5, L"t", c, 5, L"t"));
    // Same volume and index: one file, even with the size read at another moment.
    EXPECT_TRUE(SameFileOnDisk(a, 5, L"t", a, 6, L"u"));
}
