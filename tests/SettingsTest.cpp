#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "settings/DeleteSettingStruct.h"
#include "settings/FindSettingStruct.h"
#include "settings/MoveSettingStruct.h"
#include "settings/SettingsFile.h"
#include "tests/TempFolder.h"

namespace {

// Every test gets its own program folder with an empty config folder.
class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        config = dir.MakeDir(L"config");
        SetProgramDirOverride(dir.Path());
    }
    void TearDown() override { SetProgramDirOverride(L""); }
    std::wstring ExtPath() const { return config + L"\\ext.list"; }
    void WriteExtList(const std::string& bytes) const { dir.Write(L"config\\ext.list", bytes); }

    TempFolder dir;
    std::wstring config;
};

TEST_F(Settings, DefaultsWithoutAnyFile) {
    FindSettingStruct f;
    f.Load();
    EXPECT_EQ(0, f.FindSimularFile);
    EXPECT_EQ(0, f.FindSizeFile);
    EXPECT_EQ(0, f.FindTimeFile);
    EXPECT_EQ(0, f.FindMD5File);
    EXPECT_EQ(0, f.ExpandItem);
    EXPECT_EQ(0, f.FileExtType);
    EXPECT_EQ(10, f.Md5MaxSize);
    EXPECT_EQ(0, f.FastSearch);
    EXPECT_TRUE(f.ExtList.empty());
    DeleteSettingStruct d;
    d.Load();
    EXPECT_EQ(1, d.HowToDel);
    EXPECT_EQ(0, d.DelDirect);
    EXPECT_EQ(0, d.DelReFind);
    EXPECT_EQ(0, d.DelEmptyDir);
    MoveSettingStruct m;
    m.Load();
    EXPECT_EQ(0, m.MoveType);
    EXPECT_EQ(0, m.Copy);
    EXPECT_EQ(0, m.OverWrite);
    EXPECT_EQ(0, m.DelEmpty);
    EXPECT_TRUE(m.SavePath.empty());
}

TEST_F(Settings, EveryKeyRoundTrips) {
    FindSettingStruct f;
    f.FindSimularFile = 1; f.FindSizeFile = 1; f.FindTimeFile = 1; f.FindMD5File = 1;
    f.ExpandItem = 1; f.FileExtType = 2; f.Md5MaxSize = 5000; f.FastSearch = 1;
    f.ExtList.Add(L"mp3");
    f.Save();
    DeleteSettingStruct d;
    d.HowToDel = 0; d.DelDirect = 1; d.DelReFind = 1; d.DelEmptyDir = 1;
    d.Save();
    MoveSettingStruct m;
    m.MoveType = 2; m.Copy = 1; m.OverWrite = 1; m.DelEmpty = 1; m.SavePath = L"D:\\目标";
    m.Save();

    FindSettingStruct f2; f2.Load();
    EXPECT_EQ(1, f2.FindSimularFile); EXPECT_EQ(1, f2.FindSizeFile); EXPECT_EQ(1, f2.FindTimeFile);
    EXPECT_EQ(1, f2.FindMD5File); EXPECT_EQ(1, f2.ExpandItem); EXPECT_EQ(2, f2.FileExtType);
    EXPECT_EQ(5000, f2.Md5MaxSize); EXPECT_EQ(1, f2.FastSearch);
    ASSERT_EQ(1u, f2.ExtList.size()); EXPECT_EQ(L"mp3", f2.ExtList[0]);
    DeleteSettingStruct d2; d2.Load();
    EXPECT_EQ(0, d2.HowToDel); EXPECT_EQ(1, d2.DelDirect); EXPECT_EQ(1, d2.DelReFind); EXPECT_EQ(1, d2.DelEmptyDir);
    MoveSettingStruct m2; m2.Load();
    EXPECT_EQ(2, m2.MoveType); EXPECT_EQ(1, m2.Copy); EXPECT_EQ(1, m2.OverWrite); EXPECT_EQ(1, m2.DelEmpty);
    EXPECT_EQ(L"D:\\目标", m2.SavePath);
}

TEST_F(Settings, PathOutsideTheAnsiCodePageSurvives) {
    // Japanese kana, a Korean syllable and an emoji are not in code page 936.
    const std::wstring path = L"E:\\照片\\\u3072\u3089\u304c\u306a\\\uD55C\\\U0001F600";
    MoveSettingStruct m;
    m.SavePath = path;
    m.Save();
    MoveSettingStruct back;
    back.Load();
    EXPECT_EQ(path, back.SavePath);
}

TEST_F(Settings, ExistingAnsiFileIsReadAsItIs) {
    dir.Write(L"config\\Setting.ini", "[TWINSEEK]\r\nMoveType=1\r\nSavePath=C:\\data\r\n");
    MoveSettingStruct m;
    m.Load();
    EXPECT_EQ(1, m.MoveType);
    EXPECT_EQ(L"C:\\data", m.SavePath);
}

TEST_F(Settings, MalformedNumbersReadAsTheProfileFunctionsReadThem) {
    dir.Write(L"config\\Setting.ini", "[TWINSEEK]\r\nMd5MaxSize=12abc\r\nHowToDel=\r\nFileExtType= 2\r\n");
    FindSettingStruct f;
    f.Load();
    EXPECT_EQ(12, f.Md5MaxSize);
    EXPECT_EQ(2, f.FileExtType);
    DeleteSettingStruct d;
    d.Load();
    EXPECT_EQ(1, d.HowToDel);  // empty text: the default
}

TEST_F(Settings, ExtListLinesAreTrimmedMergedAndSplit) {
    std::string longLine(300, 'x');
    longLine.replace(254, 46, std::string(46, 'y'));
    WriteExtList("  doc  \n\ndoc\nDOC\n" + longLine + "\n\t\n");
    FindSettingStruct f;
    f.LoadExtList();
    ASSERT_EQ(4u, f.ExtList.size());
    EXPECT_EQ(L"doc", f.ExtList[0]);
    EXPECT_EQ(L"DOC", f.ExtList[1]);
    EXPECT_EQ(std::wstring(254, L'x'), f.ExtList[2]);
    EXPECT_EQ(std::wstring(46, L'y'), f.ExtList[3]);
}

TEST_F(Settings, ExtListReloadKeepsMemoryOrderAndAddsNoDuplicates) {
    WriteExtList("a\r\nb\r\nc\r\n");
    FindSettingStruct f;
    f.ExtList.Add(L"c");
    f.ExtList.Add(L"a");
    f.LoadExtList();
    f.LoadExtList();
    ASSERT_EQ(3u, f.ExtList.size());
    EXPECT_EQ(L"c", f.ExtList[0]);
    EXPECT_EQ(L"a", f.ExtList[1]);
    EXPECT_EQ(L"b", f.ExtList[2]);
}

TEST_F(Settings, ExtListIsWrittenOneLinePerEntryAndDeletedWhenEmpty) {
    FindSettingStruct f;
    f.ExtList.Add(L"mp3");
    f.ExtList.Add(L"文档");
    f.SaveExtList();
    std::string gbk = "\xCE\xC4\xB5\xB5";  // 文档 in code page 936
    EXPECT_EQ("mp3\r\n" + gbk + "\r\n", ReadFileBytes(ExtPath()));
    FindSettingStruct back;
    back.LoadExtList();
    ASSERT_EQ(2u, back.ExtList.size());
    EXPECT_EQ(L"文档", back.ExtList[1]);

    f.ExtList.Clear();
    f.Save();
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(ExtPath().c_str()));
}

TEST(SettingsExtensionList, ContainsIsExactAndFalseForEmpty) {
    ExtensionList l;
    EXPECT_FALSE(l.Contains(L""));
    EXPECT_FALSE(l.Contains(L"doc"));
    l.Add(L"doc");
    l.Add(L"doc");
    EXPECT_EQ(1u, l.size());
    EXPECT_TRUE(l.Contains(L"doc"));
    EXPECT_FALSE(l.Contains(L"DOC"));
    EXPECT_FALSE(l.Contains(L".doc"));
    EXPECT_FALSE(l.Contains(L""));
    l.Remove(L"doc");
    EXPECT_TRUE(l.empty());
}

TEST(SettingsFile, ProgramDirEndsWithBackslash) {
    std::wstring dir = GetProgramDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(L'\\', dir.back());
    std::wstring full = GetProgramDir(true);
    EXPECT_EQ(0u, full.find(dir));
    EXPECT_NE(std::wstring::npos, full.find(L".exe"));
}

}  // namespace
