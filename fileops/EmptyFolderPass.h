#pragma once
#include <atomic>
#include <cstdint>

class CFolderList;

// The empty-folder pass after a delete or move: removes the listed folders that are
// empty now and drops the vanished ones from the folder list. The workers run it
// with the pass lock held, so no search step uses the list meanwhile.
class CEmptyFolderPass {
public:
    CEmptyFolderPass(CFolderList& folders, const std::atomic<int32_t>& closing)
        : folders_(folders), closing_(closing) {}

    // Throws through CheckClosing when closing, before the next folder.
    void RemoveEmptyFolders();

private:
    CFolderList& folders_;
    const std::atomic<int32_t>& closing_;
};
