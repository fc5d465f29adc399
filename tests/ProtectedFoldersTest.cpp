#include <gtest/gtest.h>

#include "settings/ProtectedFolders.h"
#include "settings/SettingsFile.h"
#include "tests/TempFolder.h"

TEST(ProtectedFolders, AFolderCoversItselfAndWhatIsBelowItWhateverTheCase) {
    CProtectedFolders p;
    EXPECT_TRUE(p.Add(L"D:\\照片\\原件\\"));
    EXPECT_TRUE(p.Covers(L"D:\\照片\\原件\\a.jpg"));
    EXPECT_TRUE(p.Covers(L"d:\\照片\\原件\\2019\\A.JPG"));
    EXPECT_TRUE(p.Covers(L"D:\\照片\\原件"));
    EXPECT_FALSE(p.Covers(L"D:\\照片\\原件2\\a.jpg"));
    EXPECT_FALSE(p.Covers(L"D:\\照片\\a.jpg"));
    // Covered already: nothing added. A parent replaces the folders below it.
    EXPECT_FALSE(p.Add(L"D:\\照片\\原件\\2019"));
    EXPECT_TRUE(p.Add(L"E:\\x"));
    EXPECT_TRUE(p.Add(L"D:\\照片"));
    EXPECT_EQ((std::vector<std::wstring>{L"E:\\x", L"D:\\照片"}), p.Folders());
    // A drive's root covers the whole drive.
    CProtectedFolders root;
    root.Add(L"F:\\");
    EXPECT_TRUE(root.Covers(L"F:\\a\\b.txt"));
    EXPECT_FALSE(root.Covers(L"G:\\a\\b.txt"));
    EXPECT_TRUE(p.RemoveCovering(L"D:\\照片\\原件\\a.jpg"));
    EXPECT_FALSE(p.Covers(L"D:\\照片\\原件\\a.jpg"));
    EXPECT_FALSE(p.RemoveCovering(L"D:\\照片\\原件\\a.jpg"));
}

TEST(ProtectedFolders, TheListLastsInTheSettingsFileAndABrokenOneReadsSafely) {
    TempFolder dir;
    SetProgramDirOverride(dir.Path());
    CreateDirectoryW((dir.Path() + L"\\config").c_str(), nullptr);
    {
        CProtectedFolders p;
        p.Add(L"D:\\照片\\原件");
        p.Add(L"E:\\备份");
        p.Save();
    }
    CProtectedFolders read;
    read.Load();
    EXPECT_EQ((std::vector<std::wstring>{L"D:\\照片\\原件", L"E:\\备份"}), read.Folders());
    // Fewer entries than the count says, an empty one, a count that is no number.
    dir.Write(L"config\\Setting.ini",
              "[TWINSEEK]\r\nFastSearch=1\r\n[ProtectedFolders]\r\nCount=9\r\nItem1=D:\\a\r\nItem2=\r\n");
    read.Load();
    EXPECT_EQ((std::vector<std::wstring>{L"D:\\a"}), read.Folders());
    dir.Write(L"config\\Setting.ini", "[ProtectedFolders]\r\nCount=abc\r\nItem1=D:\\a\r\n");
    read.Load();
    EXPECT_TRUE(read.Folders().empty());
    // Saving replaces the section and leaves the others alone.
    dir.Write(L"config\\Setting.ini", "[TWINSEEK]\r\nFastSearch=1\r\n[ProtectedFolders]\r\nCount=2\r\nItem1=X:\\old\r\nItem2=Y:\\old\r\n");
    CProtectedFolders one;
    one.Add(L"Z:\\new");
    one.Save();
    read.Load();
    EXPECT_EQ((std::vector<std::wstring>{L"Z:\\new"}), read.Folders());
    EXPECT_EQ(1, ReadSettingInt(L"FastSearch", 0));
    SetProgramDirOverride(L"");
}
