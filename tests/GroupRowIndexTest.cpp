#include <gtest/gtest.h>

#include "view/GroupRowIndex.h"

namespace {

HTREEITEM Row(int n) { return reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(0x1000 + n * 16)); }

using Rows = std::vector<HTREEITEM>;

TEST(GroupRowIndex, SameNamedGroupsKeepTheOrderOfTheTree) {
    CGroupRowIndex index;
    index.Insert(Row(1), L"a.txt", nullptr);
    index.Insert(Row(2), L"b.txt", nullptr);
    index.Insert(Row(3), L"a.txt", nullptr);       // at the end: a, b, a
    index.Insert(Row(4), L"a.txt", Row(1));        // after the first a: a, a4, b, a3
    EXPECT_EQ(Row(1), index.FirstWithName(L"a.txt"));
    EXPECT_EQ((Rows{Row(1), Row(4), Row(3)}), index.RowsWithName(L"a.txt"));
    EXPECT_EQ(0u, index.Position(Row(1)));
    EXPECT_EQ(1u, index.Position(Row(4)));
    EXPECT_EQ(2u, index.Position(Row(2)));
    EXPECT_EQ(3u, index.Position(Row(3)));
    EXPECT_EQ(4u, index.Size());
    EXPECT_EQ(nullptr, index.FirstWithName(L"A.TXT"));   // exact names only
    // Inserted after a row of another name: filed after the nearest same name above.
    index.Insert(Row(5), L"a.txt", Row(2));           // a1, a4, b, a5, a3
    EXPECT_EQ((Rows{Row(1), Row(4), Row(5), Row(3)}), index.RowsWithName(L"a.txt"));
}

TEST(GroupRowIndex, RemovedAndRenamedRowsFollowTheTree) {
    CGroupRowIndex index;
    index.Insert(Row(1), L"a", nullptr);
    index.Insert(Row(2), L"b", nullptr);
    index.Insert(Row(3), L"a", nullptr);
    index.AddChild(Row(1), Row(11));
    index.AddChild(Row(1), Row(12));
    EXPECT_EQ(2, index.ChildCount(Row(1)));
    EXPECT_EQ(-1, index.ChildCount(Row(11)));

    index.OnRowDeleted(Row(11));   // a file row
    EXPECT_EQ(1, index.ChildCount(Row(1)));
    EXPECT_EQ(3u, index.Size());

    index.OnRowTextChanged(Row(3), 0, L"2");   // counts do not matter
    index.OnRowTextChanged(Row(3), 1, L"b");   // a, b, b3
    EXPECT_EQ((Rows{Row(1)}), index.RowsWithName(L"a"));
    EXPECT_EQ((Rows{Row(2), Row(3)}), index.RowsWithName(L"b"));
    index.Rename(Row(1), L"b");                // b1, b2, b3
    EXPECT_EQ((Rows{Row(1), Row(2), Row(3)}), index.RowsWithName(L"b"));
    EXPECT_EQ(nullptr, index.FirstWithName(L"a"));

    index.OnRowDeleted(Row(1));   // a group row takes its file rows with it
    EXPECT_FALSE(index.Contains(Row(1)));
    EXPECT_EQ(0u, index.Position(Row(2)));
    index.OnRowDeleted(Row(12));  // its file row, deleted afterwards: nothing
    index.OnRowDeleted(Row(99));  // unknown
    EXPECT_EQ(2u, index.Size());
    EXPECT_EQ(2u, index.Position(Row(99)));   // unknown rows count as past the end

    index.Clear();
    EXPECT_EQ(0u, index.Size());
    EXPECT_TRUE(index.RowsWithName(L"b").empty());
}

}  // namespace
