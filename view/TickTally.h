#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <mutex>
#include <unordered_map>
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
    void Drop(HTREEITEM row) { Set(row, false, 0); }
    void Clear();
    STotal Total() const;
    std::vector<HTREEITEM> Rows() const;

private:
    mutable std::mutex lock_;
    std::unordered_map<HTREEITEM, uint64_t> ticked_;
    uint64_t bytes_ = 0;
};
