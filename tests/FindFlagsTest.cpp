#include <gtest/gtest.h>

#include <string>

#include "engine/FindFlags.h"
#include "app/TwinseekDlg.h"

namespace {

TEST(FindFlags, StopTestThrowsOnlyForTheStopBits) {
    EXPECT_EQ(0, CheckFindStop(0));
    EXPECT_EQ(0, CheckFindStop(1));
    EXPECT_EQ(0, CheckFindStop(3));
    EXPECT_THROW(CheckFindStop(4), StopSignal);
    EXPECT_THROW(CheckFindStop(8), StopSignal);
    EXPECT_THROW(CheckFindStop(9), StopSignal);
    EXPECT_NO_THROW(CheckClosing(0));
    EXPECT_THROW(CheckClosing(1), StopSignal);
}

std::wstring StatusText(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::wstring s = FormatStatusText(fmt, args);
    va_end(args);
    return s;
}

TEST(FindFlagsStatus, StatusTextIsCutAt1023Characters) {
    std::wstring longPath(3000, L'路');
    std::wstring s = StatusText(L"文件:%s", longPath.c_str());
    EXPECT_EQ(1023u, s.size());
    EXPECT_EQ(L"文件:", s.substr(0, 3));
    EXPECT_EQ(L"文件夹:C:\\a", StatusText(L"文件夹:%s", L"C:\\a"));
    std::wstring exact(1023, L'x');
    EXPECT_EQ(exact, StatusText(L"%s", exact.c_str()));
}

}  // namespace
