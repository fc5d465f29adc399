#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The ticked file rows and their sizes, told of each tick as it is set and of each
// row as it goes, so the window can show what the ticked files take without
// walking the tree. Its own lock is held only inside each call.
class CTickTally {
public:
    struct STotal {
        size_t files = 0;
        uint64_t bytes = 0;
    };
    void Set(HTREEITEM row, bool ticked, uint64_t size);
    // The ticked files of a group whose rows are not made yet.
    void SetLate(HTREEITEM group, size_t files, uint64_t bytes);
    // A group row's own box (not counted: its files are).
    void SetGroup(HTREEITEM group, bool ticked);
    std::vector<HTREEITEM> TickedGroups() const;
    // A row went: a file row's tick, a group row's box and late ticks.
    void Drop(HTREEITEM row);
    void Clear();
    STotal Total() const;
    // Ticked file rows; groups whose late files hold ticks.
    std::vector<HTREEITEM> Rows() const;
    std::vector<HTREEITEM> LateGroups() const;

private:
    mutable std::mutex lock_;
    std::unordered_map<HTREEITEM, uint64_t> ticked_;
    std::unordered_map<HTREEITEM, STotal> late_;
    std::unordered_set<HTREEITEM> groups_;
    STotal total_;
};
