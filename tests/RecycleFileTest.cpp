#include <gtest/gtest.h>
#include <windows.h>

#include "fileops/RecycleFile.h"
#include "tests/TempFolder.h"
#include "tests/WineTrash.h"

namespace {

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(TempFolder::Extended(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

TEST(RecycleFile, PathsPastTheClassicLimitAreRecycledWhole) {
    const std::wstring trash = WineTrashFiles();
    const std::wstring longName = UniqueTrashName(L"long"), shortName = UniqueTrashName(L"short");
    TempFolder dir;
    std::wstring folder;
    for (int i = 0; i < 6; ++i) folder += (i ? L"\\" : L"") + std::wstring(50, static_cast<wchar_t>(L'k' + i));
    for (size_t at = 0; (at = folder.find(L'\\', at + 1)) != std::wstring::npos;) dir.MakeDir(folder.substr(0, at));
    dir.MakeDir(folder);
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
