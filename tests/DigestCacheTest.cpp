#include <gtest/gtest.h>

#include "engine/DigestCache.h"

TEST(DigestCache, AnswersOnlyForThePathAsItWas) {
    CDigestCache cache;
    const std::wstring sum = L"0123456789abcdef0123456789abcdef", other = L"ffffffffffffffffffffffffffffffff";
    const std::wstring time = L"2012-10-14 09:05:03";
    cache.Store(L"C:\\a\\x.bin", 5, time, sum);
    cache.Store(L"C:\\b\\x.bin", 5, time, other);
    EXPECT_EQ(sum, cache.Find(L"C:\\a\\x.bin", 5, time));
    EXPECT_EQ(other, cache.Find(L"C:\\b\\x.bin", 5, time));
    // Another size or time: the file changed since.
    EXPECT_FALSE(cache.Find(L"C:\\a\\x.bin", 6, time));
    EXPECT_FALSE(cache.Find(L"C:\\a\\x.bin", 5, L"2012-10-14 09:05:04"));
    EXPECT_FALSE(cache.Find(L"C:\\a\\y.bin", 5, time));
    // Stored again, the newer digest holds; cleared, none does.
    cache.Store(L"C:\\a\\x.bin", 6, time, other);
    EXPECT_EQ(other, cache.Find(L"C:\\a\\x.bin", 6, time));
    EXPECT_FALSE(cache.Find(L"C:\\a\\x.bin", 5, time));
    cache.Clear();
    EXPECT_FALSE(cache.Find(L"C:\\b\\x.bin", 5, time));
}
