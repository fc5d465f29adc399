#include <gtest/gtest.h>

#include "view/ResultText.h"

namespace {

TEST(ResultText, SizeTextsUseBytesKAndM) {
    EXPECT_EQ(L"0Byte", SizeText(0));
    EXPECT_EQ(L"1023Byte", SizeText(1023));
    EXPECT_EQ(L"1.000K", SizeText(1024));
    EXPECT_EQ(L"1.500K", SizeText(1536));
    EXPECT_EQ(L"1023.999K", SizeText(1048575));
    EXPECT_EQ(L"1.000M", SizeText(1048576));
    EXPECT_EQ(L"4768.372M", SizeText(5000000000ull));
}

TEST(ResultText, SplitPathCutsAtTheLastBackslash) {
    std::wstring folder = L"old", name = L"old";
    EXPECT_FALSE(SplitPath(L"nofolder.txt", folder, name));
    EXPECT_EQ(L"old", folder);
    EXPECT_TRUE(SplitPath(L"C:\\data\\sub\\a.txt", folder, name));
    EXPECT_EQ(L"C:\\data\\sub", folder);
    EXPECT_EQ(L"a.txt", name);
    EXPECT_TRUE(SplitPath(L"D:\\x", folder, name));
    EXPECT_EQ(L"D:", folder);
    EXPECT_EQ(L"", FileNameOfPath(L"plain"));
    EXPECT_EQ(L"报告.doc", FileNameOfPath(L"C:\\文件\\报告.doc"));
}

}  // namespace
