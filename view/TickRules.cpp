#include "view/TickRules.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <numeric>

#include "settings/ProtectedFolders.h"
#include "view/IResults.h"
#include "view/ResultColumns.h"

namespace {

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

std::wstring NameOf(const std::wstring& path) {
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring StemOf(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

size_t Depth(const std::wstring& path) { return static_cast<size_t>(std::count(path.begin(), path.end(), L'\\')); }

bool EndsWith(const std::wstring& s, const std::wstring& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The one to keep in a group without protected files, by the rule's own order and
// then the same tie-breaks every time: a name that does not look like a copy, the
// shorter path, the earlier row.
size_t Keeper(ETickRule rule, const std::vector<STickMember>& members) {
    std::vector<size_t> order(members.size());
    std::iota(order.begin(), order.end(), size_t{0});
    // Looked at once per member, not once per comparison.
    std::vector<bool> copy(members.size());
    std::vector<size_t> depth(members.size());
    for (size_t i = 0; i < members.size(); ++i) {
        copy[i] = CTickRules::LooksLikeCopy(members[i].path);
        depth[i] = Depth(members[i].path);
    }
    auto rank = [&](size_t a, size_t b) {
        const STickMember& x = members[a];
        const STickMember& y = members[b];
        if (rule == ETickRule::KeepNewest || rule == ETickRule::KeepOldest) {
            // An unknown time loses against every known one.
            if (x.time.empty() != y.time.empty()) return y.time.empty();
            if (x.time != y.time) return rule == ETickRule::KeepNewest ? x.time > y.time : x.time < y.time;
        } else if (rule == ETickRule::KeepShallowest) {
            if (depth[a] != depth[b]) return depth[a] < depth[b];
        }
        if (copy[a] != copy[b]) return !copy[a];
        if (x.path.size() != y.path.size()) return x.path.size() < y.path.size();
        return a < b;
    };
    return *std::min_element(order.begin(), order.end(), rank);
}

}  // namespace

bool CTickRules::LooksLikeCopy(const std::wstring& path) {
    const std::wstring stem = Lower(StemOf(NameOf(path)));
    if (stem.find(L"副本") != std::wstring::npos) return true;
    if (stem.rfind(L"copy of ", 0) == 0) return true;
    for (const wchar_t* tail : {L" - copy", L"-copy", L"_copy", L" copy"})
        if (EndsWith(stem, tail)) return true;
    // "a - copy (3)", "a (2)": a number in brackets at the end.
    if (stem.size() >= 3 && stem.back() == L')') {
        const size_t open = stem.rfind(L'(');
        if (open != std::wstring::npos && open >= 2 && stem[open - 1] == L' ' && open + 2 < stem.size() &&
            std::all_of(stem.begin() + static_cast<std::ptrdiff_t>(open + 1), stem.end() - 1,
                        [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
            return true;
    }
    return false;
}

std::vector<bool> CTickRules::Decide(ETickRule rule, const std::vector<STickMember>& members,
                                     const std::wstring& folder) {
    std::vector<bool> ticks(members.size(), false);
    if (members.empty()) return ticks;
    const bool anyProtected =
        std::any_of(members.begin(), members.end(), [](const STickMember& m) { return m.protectedFile; });
    switch (rule) {
    case ETickRule::UntickAll:
        return ticks;
    case ETickRule::KeepNewest:
    case ETickRule::KeepOldest:
    case ETickRule::KeepShallowest: {
        // Protected files are the originals: they stay, and so may every copy go.
        const size_t keep = anyProtected ? members.size() : Keeper(rule, members);
        for (size_t i = 0; i < members.size(); ++i) ticks[i] = i != keep && !members[i].protectedFile;
        return ticks;
    }
    case ETickRule::TickFolder:
        for (size_t i = 0; i < members.size(); ++i)
            ticks[i] = members[i].ticked || CProtectedFolders::FolderCovers(folder, members[i].path);
        break;
    case ETickRule::Invert:
        for (size_t i = 0; i < members.size(); ++i) ticks[i] = !members[i].ticked;
        break;
    }
    for (size_t i = 0; i < members.size(); ++i)
        if (members[i].protectedFile) ticks[i] = false;
    // Never the last unticked file: the one a keep rule would keep stays.
    if (std::all_of(ticks.begin(), ticks.end(), [](bool t) { return t; }))
        ticks[Keeper(ETickRule::KeepShallowest, members)] = false;
    return ticks;
}

size_t CTickRules::Apply(IResults& rows, ETickRule rule, const CProtectedFolders* protectedFolders,
                         const std::wstring& folder) {
    size_t changed = 0;
    for (HTREEITEM group = rows.FirstGroup(); group; group = rows.NextSibling(group))
        if (ApplyToGroup(rows, group, rule, protectedFolders, folder)) ++changed;
    return changed;
}

bool CTickRules::ApplyToGroup(IResults& rows, HTREEITEM group, ETickRule rule,
                              const CProtectedFolders* protectedFolders, const std::wstring& folder) {
    std::vector<HTREEITEM> files;
    std::vector<STickMember> members;
    for (HTREEITEM row = rows.FirstChild(group); row; row = rows.NextSibling(row)) {
        STickMember m;
        m.path = rows.Text(row, kPathColumn);
        m.time = rows.Text(row, kTimeColumn);
        m.protectedFile = protectedFolders && protectedFolders->Covers(m.path);
        m.ticked = rows.Ticked(row);
        files.push_back(row);
        members.push_back(std::move(m));
    }
    if (files.empty()) return false;
    const std::vector<bool> ticks = Decide(rule, members, folder);
    bool changed = false;
    for (size_t i = 0; i < files.size(); ++i) {
        if (ticks[i] == members[i].ticked) continue;
        rows.SetTicked(files[i], ticks[i]);
        changed = true;
    }
    const bool all = std::all_of(ticks.begin(), ticks.end(), [](bool t) { return t; });
    if (rows.Ticked(group) != all) {
        rows.SetTicked(group, all);
        changed = true;
    }
    return changed;
}
