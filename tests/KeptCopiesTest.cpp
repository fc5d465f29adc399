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

}  // namespace

TEST(KeptCopies, AKeptFileCountsWhileItIsOnDiskAndStillInItsGroup) {
    TempFolder dir;
    const std::wstring a = dir.Write(L"a\\f.txt", "same"), b = dir.Write(L"b\\f.txt", "same");
    CFileInfoMap map;
    map.SetCriteria(2);
    map.AddFile(Found(a));
    map.AddFile(Found(b));
    const std::wstring key = map.MakeKey(Found(a));
    const SFileId idA = *FileIdentityOf(a), idB = *FileIdentityOf(b);

    CKeptCopies kept(map);
    EXPECT_FALSE(kept.CopyBesides(key, idB));   // nothing kept yet
    kept.Keep(L"f.txt", a);
    EXPECT_TRUE(kept.CopyBesides(key, idB));
    EXPECT_TRUE(kept.CopyBesides(key, idB));    // asked again, from what it found
    EXPECT_FALSE(kept.CopyBesides(key, idA));   // no copy of itself
    EXPECT_FALSE(kept.CopyBesides(L"f.txt|9", idB));   // a member of another group

    // Edited since the search: it no longer belongs to the group.
    dir.Write(L"a\\f.txt", "edited");
    EXPECT_FALSE(kept.CopyBesides(key, idB));
    dir.Write(L"a\\f.txt", "same");
    EXPECT_TRUE(kept.CopyBesides(key, idB));
    // Vanished.
    DeleteFileW(a.c_str());
    EXPECT_FALSE(kept.CopyBesides(key, idB));

    // A later kept file stands in; a new group starts with none.
    kept.Keep(L"f.txt", b);
    const std::wstring c = dir.Write(L"c\\f.txt", "same");
    map.AddFile(Found(c));
    EXPECT_TRUE(kept.CopyBesides(key, *FileIdentityOf(c)));
    kept.Reset();
    EXPECT_FALSE(kept.CopyBesides(key, *FileIdentityOf(c)));
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
    EXPECT_FALSE(kept.CopyBesides(map.MakeKey(Found(upper)), *FileIdentityOf(upper)));
    kept.Reset();
    kept.Keep(L"thesis.doc", linked);
    EXPECT_FALSE(kept.CopyBesides(L"thesis.doc", *FileIdentityOf(dir / L"real\\thesis.doc")));
}
