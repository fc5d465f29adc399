#pragma once
#include <windows.h>
#include <commctrl.h>

// A result row is ticked when its check box shows the tick: state image 2. Every
// reader of a tick asks here, so a row without a check box (state image 0) counts as
// not ticked everywhere, and no pass acts on a file whose tick nobody saw.
inline bool RowTicked(HWND tree, HTREEITEM row) { return TreeView_GetCheckState(tree, row) == 1; }
inline void SetRowTicked(HWND tree, HTREEITEM row, bool on) { TreeView_SetCheckState(tree, row, on ? TRUE : FALSE); }
