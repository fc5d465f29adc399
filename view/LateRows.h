#pragma once
#include <windows.h>
#include <commctrl.h>

// Makes the file rows a group row holds back. The column tree calls it on the
// window's thread before anybody reaches the row's children: before a child is
// asked for (TVGN_CHILD) and before the row expands.
class ILateRows {
public:
    virtual ~ILateRows() = default;
    virtual void MakeLateRows(HTREEITEM group) = 0;
    // Whether the row has file rows, made or held back: its expand button.
    virtual bool HasFileRows(HTREEITEM group) const = 0;
};
