// The code-page tests elsewhere assume a simplified-Chinese system; fail loudly here
// when the zh_CN.UTF-8 locale is missing and Wine falls back to 1252/437.
#include <windows.h>

#include <gtest/gtest.h>

TEST(WineEnv, AnsiAndOemCodePagesAre936)
{
    EXPECT_EQ(GetACP(), 936u);
    EXPECT_EQ(GetOEMCP(), 936u);
}
