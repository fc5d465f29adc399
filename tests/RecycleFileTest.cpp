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
    EXPECT_TRUE(RecycleFile(path));
    EXPECT_FALSE(Exists(path));
    // Under its own name, so that it can be put back as it was.
    EXPECT_TRUE(Exists(trash + longName));

    const std::wstring shortOne = dir.Write(shortName, "y");
    EXPECT_TRUE(RecycleFile(shortOne));
    EXPECT_FALSE(Exists(shortOne));
    // Nothing there: no success.
    EXPECT_FALSE(RecycleFile(shortOne));
    EmptyWineTrashOf(trash, longName);
    EmptyWineTrashOf(trash, shortName);
}
