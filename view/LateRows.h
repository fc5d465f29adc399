#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

// What a group row holds back: its file rows, made on the window's thread before
// anybody reaches the row's children (before a child is asked for with TVGN_CHILD
// and before the row expands), and its newest count text, which every reader of the
// row's label sees in place of the count the tree holds.
class ILateRows {
public:
    virtual ~ILateRows() = default;
    virtual void MakeLateRows(HTREEITEM group) = 0;
    // Whether the row has file rows, made or held back: its expand button.
    virtual bool HasFileRows(HTREEITEM group) const = 0;
    // False when the tree's own count is the row's count.
    virtual bool LateCount(HTREEITEM group, std::wstring& count) const = 0;
    // The row's label is being set, count included, from what its readers saw.
    virtual void DropLateCount(HTREEITEM group) = 0;
};
