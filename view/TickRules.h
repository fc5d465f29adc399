#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class CProtectedFolders;
class IResults;

// The selection rules: each sets the ticks of every group at once, as the user's
// clicks would, and leaves at least one file of each group unticked. A protected
// file is never ticked; a group holding one keeps it and every other file is
// ticked by the keep rules.
enum class ETickRule {
    KeepNewest,     // tick all but the newest by modification time
    KeepOldest,     // tick all but the oldest
    KeepShallowest, // tick all but the one with the fewest folders in its path, then the fewest characters
    TickFolder,     // tick the files in a folder and below it
    UntickAll,
    Invert,         // file rows only
};

// One file of a group as the rules see it, in row order.
struct STickMember {
    std::wstring path;
    std::wstring time;   // the time column's text; it sorts as the time does
    bool protectedFile = false;
    bool ticked = false;
};

// No window code: the decisions on one group, and their application to rows.
class CTickRules {
public:
    // The ticks the rule gives the group's files, in order. `folder` is the folder of
    // TickFolder.
    static std::vector<bool> Decide(ETickRule rule, const std::vector<STickMember>& members,
                                    const std::wstring& folder = {});
    // A name that says it is a copy of another: "a - 副本.txt", "a (2).txt",
    // "Copy of a.txt", "a - Copy.txt" and the like.
    static bool LooksLikeCopy(const std::wstring& path);
    // Every group of `rows`: its file rows' ticks as decided, and its group row ticked
    // when all its files are (never, after a rule that keeps one). Returns the groups
    // whose ticks changed.
    static size_t Apply(IResults& rows, ETickRule rule, const CProtectedFolders* protectedFolders,
                        const std::wstring& folder = {});
    // The same for one group; true when a tick changed. Only changed ticks are set.
    static bool ApplyToGroup(IResults& rows, HTREEITEM group, ETickRule rule,
                             const CProtectedFolders* protectedFolders, const std::wstring& folder = {});
};
