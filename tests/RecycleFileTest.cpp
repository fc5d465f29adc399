#include <gtest/gtest.h>
#include <windows.h>

#include "fileops/RecycleFile.h"
#include "tests/TempFolder.h"
#include "tests/WineTrash.h"

TEST(RecycleFile, PathsPastTheClassicLimitAreRecycledWhole) {
    const std::wstring trash = WineTrashFiles();
    const std::wstring longName = UniqueTrashName(L"long"), shortName = UniqueTrashName(L"short");
    TempFolder dir;
    std::wstring folder;
    for (int i = 0; i < 6; ++i) folder += (i ? L"\\" : L"") + std::wstring(50, static_cast<wchar_t>(L'k' + i));
    const std::wstring path = dir.Write(folder + L"\\" + longName, "x");
    ASSERT_GT(path.size(), 300u);
    ASSERT_TRUE(Exists(path));
    EXPECT_TRUE(RecycleFile(path).done);
    EXPECT_FALSE(Exists(path));
    // Under its own name, so that it can be put back as it was.
    EXPECT_TRUE(Exists(trash + longName));

    const std::wstring shortOne = dir.Write(shortName, "y");
    EXPECT_TRUE(RecycleFile(shortOne).done);
    EXPECT_FALSE(Exists(shortOne));
    // Nothing there: no success.
    EXPECT_FALSE(RecycleFile(shortOne).done);
    EmptyWineTrashOf(trash, longName);
    EmptyWineTrashOf(trash, shortName);
}

TEST(RecycleFile, AFileTheBinCannotTakeStaysWhereItIs) {
    // Z: is the root of the host; its memory file system is another volume than the
    // trash's, and Wine deletes for good what it cannot move there.
    const std::wstring shm = L"Z:\\dev\\shm";
    if (GetFileAttributesW(shm.c_str()) == INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "no second volume";
    WineTrashFiles();
    const std::wstring folder = shm + L"\\twinseek-recycle-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(GetTickCount64());
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring path = folder + L"\\only.txt";
    {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        DWORD written;
        WriteFile(h, "only copy", 9, &written, nullptr);
        CloseHandle(h);
    }
    EXPECT_FALSE(RecycleFile(path).done);
    EXPECT_EQ("only copy", ReadFileBytes(path));
    // Nothing is left beside it either.
    EXPECT_TRUE(TempFolder::RemoveTree(folder));
}

TEST(RecycleFile, ANameEndingInADotIsRecycledAndNotItsNamesake) {
    TempFolder dir;
    const std::wstring dotted = L"\\\\?\\" + dir.Path() + L"\\a.";
    const std::wstring plain = dir.Write(L"a", "plain");
    HANDLE h = CreateFileW(dotted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no names ending in a dot here";
    CloseHandle(h);
    // Recycled through its short name where there is one; refused where there is none.
    const bool recycled = RecycleFile(dir.Path() + L"\\a.").done;
    EXPECT_EQ(!recycled, GetFileAttributesW(dotted.c_str()) != INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ("plain", ReadFileBytes(plain));
}
