#include <gtest/gtest.h>

#include "settings/Criteria.h"
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

// Many groups of one name (a translation file in every language) are told apart by
// the other columns; the first match in display order wins, as a walk would find.
TEST(GroupRowIndex, WholeKeyFindsTheFirstMatchingRowInDisplayOrder) {
    CGroupRowIndex index;
    index.Insert(Row(1), SGroupRowKey{L"a", L"1", L"t1", L"d1"}, nullptr);
    index.Insert(Row(2), SGroupRowKey{L"a", L"2", L"t1", L"d2"}, nullptr);
    index.Insert(Row(3), SGroupRowKey{L"a", L"2", L"t2", L"d2"}, Row(1));   // 1, 3, 2
    const SGroupRowKey wanted{L"a", L"2", L"t1", L"d2"};
    EXPECT_EQ(Row(2), index.FirstMatching(wanted, kSameTime | kSameSize));
    EXPECT_EQ(Row(3), index.FirstMatching(wanted, kSameSize | kSameDigest));   // 3 is above 2
    EXPECT_EQ(Row(1), index.FirstMatching(wanted, 0)); // by name alone
    EXPECT_EQ(nullptr, index.FirstMatching(SGroupRowKey{L"a", L"9"}, kSameSize));
    EXPECT_EQ(nullptr, index.FirstMatching(SGroupRowKey{L"b", L"2"}, kSameSize));

    // A row inserted above its twin in the same bucket comes first; then it leaves.
    index.Insert(Row(4), SGroupRowKey{L"a", L"2", L"t9", L"d9"}, Row(1));   // 1, 4, 3, 2
    EXPECT_EQ(Row(4), index.FirstMatching(wanted, kSameSize));
    index.OnRowDeleted(Row(4));
    EXPECT_EQ(Row(3), index.FirstMatching(wanted, kSameSize));

    // Changed column texts move a row to its new key; counts and paths do not.
    index.OnRowTextChanged(Row(3), 3, L"7");
    index.OnRowTextChanged(Row(2), 0, L"5");
    index.OnRowTextChanged(Row(2), 2, L"C:\\x");
    EXPECT_EQ(Row(2), index.FirstMatching(wanted, kSameSize));
    EXPECT_EQ(Row(3), index.FirstMatching(SGroupRowKey{L"a", L"7"}, kSameSize));
    index.Refile(Row(1), SGroupRowKey{L"a", L"2", L"t1", L"d2"});
    EXPECT_EQ(Row(1), index.FirstMatching(wanted, kSameTime | kSameSize | kSameDigest));
    index.Rename(Row(1), L"b");
    EXPECT_EQ(Row(2), index.FirstMatching(wanted, kSameTime | kSameSize | kSameDigest));
    SGroupRowKey filed;
    ASSERT_TRUE(index.KeyOf(Row(1), filed));
    EXPECT_EQ(L"b", filed.name);
    EXPECT_EQ(L"d2", filed.digest);
    EXPECT_FALSE(index.KeyOf(Row(99), filed));

    index.Clear();
    EXPECT_EQ(nullptr, index.FirstMatching(wanted, kSameTime | kSameSize | kSameDigest));
}

}  // namespace
