#include <gtest/gtest.h>

#include <map>

#include "engine/FileInfoMap.h"
#include "engine/FolderListing.h"
#include "engine/LongPath.h"
#include "tests/TempFolder.h"

namespace {

std::vector<std::wstring> Pending(const CFolderList& list) {
    std::vector<std::wstring> paths;
    for (const SFolderItem& item : list.Items())
        if (item.bPending) paths.push_back(item.strPath);
    return paths;
}

struct Listed {
    std::wstring name;
    DWORD attributes;
    uint64_t size;
    uint64_t lastWrite;
    bool operator==(const Listed&) const = default;
};

Listed Entry(std::wstring_view name, DWORD attributes, uint64_t size, FILETIME t) {
    return {std::wstring(name), attributes, size, (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime};
}

std::vector<Listed> ListedByHandle(const std::wstring& folder) {
    std::vector<Listed> entries;
    CFolderListing listing(folder);
    SFolderEntry e;
    for (bool more = listing.Start(e); more; more = listing.Next(e))
        entries.push_back(Entry(e.name, e.attributes, e.size, e.lastWrite));
    return entries;
}

// The classic wildcard listing, as the scan made it before.
std::vector<Listed> ListedByWildcard(const std::wstring& folder) {
    std::vector<Listed> entries;
    WIN32_FIND_DATAW d;
    const std::wstring pattern = ToLongPath(folder + L"\\*.*");
    HANDLE h = FindFirstFileW(pattern.c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) return entries;
    do {
        entries.push_back(Entry(d.cFileName, d.dwFileAttributes,
                                (static_cast<uint64_t>(d.nFileSizeHigh) << 32) | d.nFileSizeLow, d.ftLastWriteTime));
    } while (FindNextFileW(h, &d));
    FindClose(h);
    return entries;
}

}  // namespace

TEST(FolderList, AddRefusesEmptyAndExactDuplicatesOnly) {
    CFileInfoMap map;
    CFolderList& list = map.Folders;
    EXPECT_FALSE(list.AddFolder(L"", true));
    EXPECT_TRUE(list.AddFolder(L"D:\\data", false));
    EXPECT_FALSE(list.AddFolder(L"D:\\data", true));
    EXPECT_TRUE(list.AddFolder(L"d:\\data", true));   // case-sensitive comparison
    ASSERT_EQ(list.FolderCount(), 2);
    std::vector<SFolderItem> items = list.Items();
    EXPECT_EQ(items[0].bSubFolder, 0);   // the refused add left the entry as it was
    EXPECT_EQ(items[0].bPending, 1);
    EXPECT_EQ(items[1].strPath, L"d:\\data");
}

TEST(FolderList, TakeNextFollowsListOrderAndEndsEmpty) {
    CFileInfoMap map;
    CFolderList& list = map.Folders;
    list.AddFolder(L"C:\\a", true);
    list.AddFolder(L"C:\\b", false);
    SFolderItem item = list.TakeNextFolder();
    EXPECT_EQ(item.strPath, L"C:\\a");
    EXPECT_EQ(item.bSubFolder, 1);
    list.AddFolder(L"C:\\a\\x", true);
    EXPECT_EQ(list.TakeNextFolder().strPath, L"C:\\b");
    EXPECT_EQ(list.TakeNextFolder().strPath, L"C:\\a\\x");
    EXPECT_TRUE(list.TakeNextFolder().strPath.empty());
    EXPECT_TRUE(list.TakeNextFolder().strPath.empty());
    EXPECT_EQ(list.FolderCount(), 3);
    EXPECT_TRUE(Pending(list).empty());
}

TEST(FolderList, RequeueFolderAlsoRequeuesPathsThatContainIt) {
    CFileInfoMap map;
    CFolderList& list = map.Folders;
    for (const wchar_t* p : {L"D:\\a", L"D:\\a\\sub", L"D:\\ab", L"D:\\b", L"E:\\x\\D:\\a"})
        list.AddFolder(p, false);
    while (!list.TakeNextFolder().strPath.empty()) {
    }
    list.RequeueFolder(L"D:\\a", true);
    EXPECT_EQ(Pending(list),
              (std::vector<std::wstring>{L"D:\\a", L"D:\\a\\sub", L"D:\\ab", L"E:\\x\\D:\\a"}));
    std::vector<SFolderItem> items = list.Items();
    EXPECT_EQ(items[0].bSubFolder, 1);   // only the exact entry takes the new flag
    EXPECT_EQ(items[1].bSubFolder, 0);
    // Taken again in list order, from the first requeued entry.
    EXPECT_EQ(list.TakeNextFolder().strPath, L"D:\\a");
    EXPECT_EQ(list.TakeNextFolder().strPath, L"D:\\a\\sub");
}

TEST(FolderList, RequeueAllAndClear) {
    CFileInfoMap map;
    CFolderList& list = map.Folders;
    list.AddFolder(L"C:\\1", true);
    list.AddFolder(L"C:\\2", true);
    list.TakeNextFolder();
    list.TakeNextFolder();
    list.RequeueAllFolders();
    EXPECT_EQ(list.TakeNextFolder().strPath, L"C:\\1");
    list.ClearFolders();
    EXPECT_EQ(list.FolderCount(), 0);
    EXPECT_TRUE(list.TakeNextFolder().strPath.empty());
    EXPECT_TRUE(list.AddFolder(L"C:\\1", true));   // cleared paths can come back
}

TEST(FolderList, DropMissingFoldersKeepsTheOrderOfTheRest) {
    TempFolder dir;
    std::wstring a = dir.MakeDir(L"a"), b = dir.MakeDir(L"b"), c = dir.MakeDir(L"c");
    CFileInfoMap map;
    CFolderList& list = map.Folders;
    for (const std::wstring& p : {a, b, c}) list.AddFolder(p, true);
    list.AddFolder(dir / L"never-there", true);
    EXPECT_EQ(list.FolderPaths(), (std::vector<std::wstring>{a, b, c, dir / L"never-there"}));

    RemoveDirectoryW(b.c_str());
    list.DropMissingFolders();
    EXPECT_EQ(list.FolderPaths(), (std::vector<std::wstring>{a, c}));
    EXPECT_TRUE(list.AddFolder(b, true));
}

TEST(FolderList, OneEntryListsAFolderUntilItIsRequeuedOrTheListCleared) {
    std::recursive_mutex lock;
    CFolderList list(lock);
    const SFileId photos{7, 100}, other{7, 200};
    list.AddFolder(L"C:\\photos", true);
    list.AddFolder(L"C:\\PHOTOS", true);
    EXPECT_TRUE(list.ClaimFolder(L"C:\\photos", photos));
    EXPECT_TRUE(list.ClaimFolder(L"C:\\photos", photos));   // the same entry again
    EXPECT_FALSE(list.ClaimFolder(L"C:\\PHOTOS", photos));
    EXPECT_FALSE(list.ClaimFolder(L"C:\\PHOTOS", photos));
    // Requeued entries give their claims up; others keep them.
    list.RequeueFolder(L"C:\\PHOTOS", true);
    EXPECT_FALSE(list.ClaimFolder(L"C:\\PHOTOS", photos));
    list.RequeueFolder(L"C:\\photos", true);
    EXPECT_TRUE(list.ClaimFolder(L"C:\\PHOTOS", photos));
    EXPECT_FALSE(list.ClaimFolder(L"C:\\photos", photos));
    // An entry whose folder was replaced on disk gives its old claim up.
    EXPECT_TRUE(list.ClaimFolder(L"C:\\PHOTOS", other));
    EXPECT_TRUE(list.ClaimFolder(L"C:\\photos", photos));
    list.RequeueAllFolders();
    EXPECT_TRUE(list.ClaimFolder(L"C:\\PHOTOS", photos));
    list.ClearFolders();
    EXPECT_TRUE(list.ClaimFolder(L"C:\\photos", photos));
}

// Claims by index read a volume only for folders that share an index: the roots of two
// volumes (the same index on each) are both listed, one folder under two names is not.
TEST(FolderList, ClaimsByIndexAskTheVolumeOnlyWhenIndexesMeet) {
    std::recursive_mutex lock;
    CFolderList list(lock);
    std::map<std::wstring, SFileId> disk{{L"C:\\", {1, 5}}, {L"D:\\", {2, 5}}, {L"C:\\docs", {1, 40}},
                                         {L"C:\\DOCS", {1, 40}}, {L"C:\\gone", {1, 77}}};
    std::vector<std::wstring> asked;
    auto identityOf = [&](const std::wstring& path) -> std::optional<SFileId> {
        asked.push_back(path);
        auto it = disk.find(path);
        return it == disk.end() ? std::nullopt : std::optional<SFileId>(it->second);
    };
    EXPECT_TRUE(list.ClaimFolder(L"C:\\", 5, identityOf));
    EXPECT_TRUE(list.ClaimFolder(L"C:\\docs", 40, identityOf));
    EXPECT_TRUE(asked.empty());
    EXPECT_TRUE(list.ClaimFolder(L"D:\\", 5, identityOf));
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"D:\\", L"C:\\"}));
    EXPECT_FALSE(list.ClaimFolder(L"C:\\DOCS", 40, identityOf));
    EXPECT_TRUE(list.ClaimFolder(L"C:\\docs", 40, identityOf));   // its own claim again
    // A folder whose identity cannot be read any more stays apart, as one without
    // identity was always listed.
    EXPECT_TRUE(list.ClaimFolder(L"C:\\gone", 77, identityOf));
    disk.erase(L"C:\\gone");
    disk[L"C:\\again"] = {1, 77};
    EXPECT_TRUE(list.ClaimFolder(L"C:\\again", 77, identityOf));
    // Volumes read once are kept: a third name of a folder asks for its own only.
    asked.clear();
    disk[L"c:\\docs"] = {1, 40};
    EXPECT_FALSE(list.ClaimFolder(L"c:\\docs", 40, identityOf));
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"c:\\docs"}));
    // Claims by full identity and by index meet.
    list.RequeueAllFolders();
    EXPECT_TRUE(list.ClaimFolder(L"C:\\DOCS", SFileId{1, 40}));
    EXPECT_FALSE(list.ClaimFolder(L"C:\\docs", 40, identityOf));
    EXPECT_TRUE(list.ClaimFolder(L"E:\\docs", SFileId{3, 40}));
}

TEST(FolderList, FileIndexIsTheIndexOfTheFullIdentity) {
    TempFolder dir;
    dir.Write(L"a.txt", "a");
    for (const std::wstring& path : {dir.Path(), dir / L"a.txt"}) {
        std::optional<uint64_t> index = FileIndexOf(path);
        std::optional<SFileId> id = FileIdentityOf(path);
        ASSERT_TRUE(index && id);
        EXPECT_EQ(*index, id->index);
    }
    EXPECT_FALSE(FileIndexOf(dir / L"missing"));
}

TEST(FolderListing, GivesWhatTheWildcardListingGives) {
    TempFolder dir;
    // More entries than one batch holds, so the listing goes on over several.
    for (int i = 0; i < 600; ++i)
        dir.Write(L"many\\a-rather-long-file-name-for-one-batch-" + std::to_wstring(i) + L".txt", std::string(i, 'x'));
    dir.Write(L"many\\.hidden", "h");
    dir.Write(L"many\\sub\\inner.txt", "inner");
    std::wstring deep = dir.Path();
    for (int i = 0; i < 6; ++i) deep += L"\\" + std::wstring(45, static_cast<wchar_t>(L'a' + i));
    dir.Write(deep.substr(dir.Path().size() + 1) + L"\\deep.txt", "deep");
    ASSERT_GT(deep.size(), static_cast<size_t>(MAX_PATH));
    dir.MakeDir(L"empty");

    for (const std::wstring& folder : {dir / L"many", deep, dir / L"empty"}) {
        const std::vector<Listed> byHandle = ListedByHandle(folder);
        EXPECT_FALSE(byHandle.empty()) << folder;
        EXPECT_EQ(ListedByWildcard(folder), byHandle) << folder;
        EXPECT_EQ(FileIndexOf(folder), CFolderListing(folder).Index()) << folder;
    }
    EXPECT_EQ(604u, ListedByHandle(dir / L"many").size());   // ".", "..", 600 files, one hidden, one folder
    // Each file's ID is the index its open handle gives: a kept digest is found by it.
    for (const std::wstring& folder : {dir / L"many", deep}) {
        CFolderListing listing(folder);
        SFolderEntry e;
        int files = 0;
        for (bool more = listing.Start(e); more; more = listing.Next(e)) {
            if (e.attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            ++files;
            EXPECT_EQ(FileIndexOf(folder + L"\\" + std::wstring(e.name)), e.fileId) << std::wstring(e.name);
        }
        EXPECT_GT(files, 0);
    }
}

TEST(FolderListing, ALinkListsItsTargetAndAFileOrMissingFolderNothing) {
    TempFolder dir;
    dir.Write(L"real\\thesis.doc", "thesis");
    const std::wstring file = dir.Write(L"plain.txt", "plain");
    if (TempFolder::MakeFolderLink(dir.Path(), L"alias", L"real")) {
        EXPECT_EQ(ListedByHandle(dir / L"real"), ListedByHandle(dir / L"alias"));
        EXPECT_EQ(FileIndexOf(dir / L"real"), CFolderListing(dir / L"alias").Index());
    }
    SFolderEntry entry;
    CFolderListing ofFile(file);
    EXPECT_EQ(FileIndexOf(file), ofFile.Index());   // a file is still identified, as before
    EXPECT_FALSE(ofFile.Start(entry));
    CFolderListing missing(dir / L"missing");
    EXPECT_FALSE(missing.Index());
    EXPECT_FALSE(missing.Start(entry));
}
