// The selection rules on groups in memory: what each keeps, the tie-breaks, the
// protected files, and that no rule ever ticks a whole group.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/ProtectedFolders.h"
#include "tests/MemoryResults.h"
#include "view/TickRules.h"

namespace {

using Ticks = std::vector<bool>;

STickMember M(const std::wstring& path, const std::wstring& time = L"2026-01-01 10:00:00", bool guarded = false,
              bool ticked = false) {
    return {path, time, guarded, ticked};
}

SFileInfo File(const std::wstring& path, const std::wstring& time) {
    SFileInfo f;
    f.strPath = path;
    f.strName = path.substr(path.rfind(L'\\') + 1);
    f.strTime = time;
    f.nSize = 10;
    return f;
}

}  // namespace

TEST(TickRules, KeepRulesKeepOneByTheirOrderAndBreakTiesTheSameWay) {
    const std::vector<STickMember> g = {M(L"D:\\a\\x.txt", L"2026-01-02 08:00:00"),
                                        M(L"D:\\b\\c\\x.txt", L"2026-03-01 08:00:00"),
                                        M(L"D:\\x.txt", L"2025-12-31 23:59:59")};
    EXPECT_EQ((Ticks{true, false, true}), CTickRules::Decide(ETickRule::KeepNewest, g));
    EXPECT_EQ((Ticks{true, true, false}), CTickRules::Decide(ETickRule::KeepOldest, g));
    EXPECT_EQ((Ticks{true, true, false}), CTickRules::Decide(ETickRule::KeepShallowest, g));
    // A time nobody could read loses against every known one.
    EXPECT_EQ((Ticks{true, false}), CTickRules::Decide(ETickRule::KeepOldest, {M(L"D:\\a\\y", L""), M(L"D:\\b\\y")}));

    // Equal times: a name that does not look like a copy wins, then the shorter path,
    // then the earlier row.
    const std::wstring t = L"2026-05-05 05:05:05";
    EXPECT_EQ((Ticks{true, false}),
              CTickRules::Decide(ETickRule::KeepNewest, {M(L"D:\\a\\x - 副本.txt", t), M(L"D:\\longer\\x.txt", t)}));
    EXPECT_EQ((Ticks{true, false}), CTickRules::Decide(ETickRule::KeepNewest, {M(L"D:\\aa\\x.txt", t), M(L"D:\\a\\x.txt", t)}));
    EXPECT_EQ((Ticks{false, true}), CTickRules::Decide(ETickRule::KeepNewest, {M(L"D:\\a\\x.txt", t), M(L"D:\\b\\x.txt", t)}));
    // Same depth: fewer characters next.
    EXPECT_EQ((Ticks{true, false}),
              CTickRules::Decide(ETickRule::KeepShallowest, {M(L"D:\\photos\\x.jpg"), M(L"D:\\pic\\x.jpg")}));
}

TEST(TickRules, NamesThatSayTheyAreCopies) {
    for (const wchar_t* copy : {L"C:\\a\\报告 - 副本.doc", L"C:\\a\\报告副本.doc", L"C:\\a\\report (2).doc",
                                L"C:\\a\\Copy of report.doc", L"C:\\a\\report - Copy.doc", L"C:\\a\\report - Copy (3).doc"})
        EXPECT_TRUE(CTickRules::LooksLikeCopy(copy)) << copy;
    for (const wchar_t* plain : {L"C:\\a\\report.doc", L"C:\\a\\(2).doc", L"C:\\a\\copycat.doc", L"C:\\副本\\report.doc",
                                 L"C:\\a\\report (v2).doc"})
        EXPECT_FALSE(CTickRules::LooksLikeCopy(plain)) << plain;
}

TEST(TickRules, ProtectedFilesAreKeptAndNeverTicked) {
    // One protected, one plain: every keep rule ticks the plain one, even the newest.
    const std::vector<STickMember> pair = {M(L"D:\\orig\\x", L"2020-01-01 00:00:00", true),
                                           M(L"D:\\copy\\x", L"2026-01-01 00:00:00")};
    for (ETickRule rule : {ETickRule::KeepNewest, ETickRule::KeepOldest, ETickRule::KeepShallowest})
        EXPECT_EQ((Ticks{false, true}), CTickRules::Decide(rule, pair));
    EXPECT_EQ((Ticks{false, true}), CTickRules::Decide(ETickRule::Invert, pair));
    EXPECT_EQ((Ticks{false, true}), CTickRules::Decide(ETickRule::TickFolder, pair, L"D:\\"));
    // A group all protected stays as it is shown: nothing in it is ticked.
    const std::vector<STickMember> all = {M(L"D:\\o\\x", L"", true), M(L"D:\\o\\y\\x", L"", true)};
    for (ETickRule rule : {ETickRule::KeepNewest, ETickRule::KeepShallowest, ETickRule::Invert, ETickRule::TickFolder})
        EXPECT_EQ((Ticks{false, false}), CTickRules::Decide(rule, all, L"D:\\o"));
}

TEST(TickRules, NoRuleTicksAWholeGroup) {
    const std::vector<STickMember> g = {M(L"D:\\a\\b\\x"), M(L"D:\\a\\x"), M(L"D:\\a\\c\\x")};
    // The folder holds them all: the one a keep rule would keep stays.
    EXPECT_EQ((Ticks{true, false, true}), CTickRules::Decide(ETickRule::TickFolder, g, L"D:\\a"));
    EXPECT_EQ((Ticks{false, false, true}), CTickRules::Decide(ETickRule::TickFolder, g, L"D:\\a\\c"));
    // "D:\\a\\b" is not "D:\\a\\bb".
    EXPECT_EQ((Ticks{false, false}),
              CTickRules::Decide(ETickRule::TickFolder, {M(L"D:\\a\\bb\\x"), M(L"D:\\a\\x")}, L"D:\\a\\b"));
    EXPECT_EQ((Ticks{true, false, true}), CTickRules::Decide(ETickRule::Invert, g));
    EXPECT_EQ((Ticks{false, true, false}),
              CTickRules::Decide(ETickRule::Invert, {M(L"D:\\a\\b\\x", L"", false, true), M(L"D:\\a\\x"),
                                                      M(L"D:\\a\\c\\x", L"", false, true)}));
    EXPECT_EQ((Ticks{false, false, false}), CTickRules::Decide(ETickRule::UntickAll, g));
}

TEST(TickRules, ApplySetsFileTicksAndLeavesGroupRowsUnticked) {
    CMemoryResults rows;
    CFileInfoMap map;
    map.SetCriteria(0);
    for (const auto& [path, time] : std::vector<std::pair<std::wstring, std::wstring>>{
             {L"D:\\a\\one.txt", L"2026-01-01 00:00:00"}, {L"D:\\b\\one.txt", L"2026-02-01 00:00:00"},
             {L"D:\\a\\two.txt", L"2026-03-01 00:00:00"}, {L"D:\\b\\two.txt", L"2026-01-01 00:00:00"},
             {L"D:\\c\\two.txt", L"2026-01-02 00:00:00"}})
        rows.AddFound(map, File(path, time));
    const auto groups = rows.Groups();
    ASSERT_EQ(2u, groups.size());
    rows.Tick(groups[0]);   // a group ticked whole before the rule
    for (HTREEITEM row : rows.Children(groups[0])) rows.Tick(row);

    EXPECT_EQ(2u, CTickRules::Apply(rows, ETickRule::KeepNewest, nullptr));
    auto ticks = [&](HTREEITEM g) {
        Ticks t;
        for (HTREEITEM row : rows.Children(g)) t.push_back(rows.Ticked(row));
        return t;
    };
    EXPECT_EQ((Ticks{true, false}), ticks(groups[0]));
    EXPECT_EQ((Ticks{false, true, true}), ticks(groups[1]));
    EXPECT_FALSE(rows.Ticked(groups[0]));
    EXPECT_FALSE(rows.Ticked(groups[1]));
    // Once more: nothing changes.
    EXPECT_EQ(0u, CTickRules::Apply(rows, ETickRule::KeepNewest, nullptr));

    CProtectedFolders guarded;
    guarded.Add(L"D:\\b\\");
    EXPECT_EQ(1u, CTickRules::Apply(rows, ETickRule::KeepNewest, &guarded));
    EXPECT_EQ((Ticks{true, false}), ticks(groups[0]));
    EXPECT_EQ((Ticks{true, false, true}), ticks(groups[1]));
}
