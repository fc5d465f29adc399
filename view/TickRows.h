#pragma once
#include <windows.h>
#include <commctrl.h>

// Told by the tree of every tick it shows: each box set through TVM_SETITEMW, and
// the space key, which asks to flip the selected row's box the way a click does
// (the tree would flip it by itself, unseen). On the window's thread.
class ITickRows {
public:
    virtual ~ITickRows() = default;
    virtual void RowTickSet(HTREEITEM row, bool ticked) = 0;
    virtual void TickKey(HTREEITEM row) = 0;
};
