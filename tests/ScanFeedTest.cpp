#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "view/ScanFeed.h"

namespace {

using Texts = std::vector<std::wstring>;

CScanFeed::GroupEvent Event(const std::wstring& path, int count) {
    CScanFeed::GroupEvent e;
    e.first.strPath = L"first";
    e.file.strPath = path;
    e.count = count;
    return e;
}

}  // namespace

TEST(ScanFeed, KeepsFolderEndsInOrderAndOnlyTheLatestPassingText) {
    CScanFeed feed;
    EXPECT_TRUE(feed.Empty());
    feed.Status(L"文件夹:a", false);
    feed.Status(L"文件:a\\1", false);
    feed.Status(L"文件夹搜索完成:a", true);   // newer than the passing text it replaces
    feed.Status(L"文件夹:b", false);
    feed.Status(L"文件:b\\1", false);
    feed.Status(L"文件夹搜索完成:b", true);
    feed.Status(L"文件夹:c", false);
    feed.Status(L"文件:c\\1", false);
    feed.Counters(L"文件夹:3|文件:1");
    feed.Counters(L"文件夹:3|文件:2");
    EXPECT_FALSE(feed.Empty());

    CScanFeed::Batch b = feed.Take();
    EXPECT_EQ((Texts{L"文件夹搜索完成:a", L"文件夹搜索完成:b", L"文件:c\\1"}), b.status);
    ASSERT_TRUE(b.counters.has_value());
    EXPECT_EQ(L"文件夹:3|文件:2", *b.counters);
    EXPECT_TRUE(feed.Empty());

    // After a take, a passing text never replaces what was already handed over.
    feed.Status(L"文件:c\\2", false);
    feed.Status(L"文件:c\\3", false);
    b = feed.Take();
    EXPECT_EQ((Texts{L"文件:c\\3"}), b.status);
    EXPECT_FALSE(b.counters.has_value());
}

TEST(ScanFeed, GroupEventsComeInOrderAndAClearDropsThem) {
    CScanFeed feed;
    feed.Group(Event(L"x", 2));
    feed.Group(Event(L"y", 3));
    feed.Status(L"文件:z", false);
    feed.DropGroups();
    CScanFeed::Batch b = feed.Take();
    EXPECT_TRUE(b.groups.empty());
    EXPECT_EQ((Texts{L"文件:z"}), b.status);

    feed.Group(Event(L"x", 2));
    feed.Group(Event(L"y", 3));
    CScanFeed::GroupEvent real;
    real.first = {L"a.txt", L"D:\\照片\\a.txt", L"2026-12-10 22:47:24", 12, L""};
    real.file = {L"a.txt", L"D:\\照片\\备份\\a.txt", L"2026-12-09 08:00:00", 12, L""};
    real.grew = true;
    feed.Group(real);
    b = feed.Take();
    ASSERT_EQ(3u, b.groups.size());
    const auto back = feed.Unpack(b.groups[2]);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(real.first, back->first);
    EXPECT_EQ(real.file, back->file);
    EXPECT_TRUE(back->grew);
    EXPECT_EQ(L"x", feed.Unpack(b.groups[0])->file.strPath);
    EXPECT_EQ(3, feed.Unpack(b.groups[1])->count);
}

TEST(ScanFeed, EventsGivenBackComeBeforeNewerOnes) {
    CScanFeed feed;
    feed.Group(Event(L"a", 2));
    feed.Group(Event(L"b", 2));
    feed.Group(Event(L"c", 3));
    CScanFeed::Batch b = feed.Take();
    feed.Group(Event(L"d", 4));   // came while the window showed "a"
    feed.GiveBack({std::make_move_iterator(b.groups.begin() + 1), std::make_move_iterator(b.groups.end())});
    b = feed.Take();
    std::vector<std::wstring> order;
    for (const CScanFeed::PackedEvent& e : b.groups) order.push_back(feed.Unpack(e)->file.strPath);
    EXPECT_EQ((Texts{L"b", L"c", L"d"}), order);
    // A clear drops given-back events as well, and those still in the window's hands
    // unpack to nothing.
    feed.GiveBack({std::make_move_iterator(b.groups.begin() + 1), std::make_move_iterator(b.groups.end())});
    feed.DropGroups();
    EXPECT_TRUE(feed.Empty());
    EXPECT_FALSE(feed.Unpack(b.groups[0]).has_value());
}
