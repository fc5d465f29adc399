// Every window message of the program's own, in one place: what sends it, to whom.
// Ids not given by the program's description are taken from the WM_APP range.
#pragma once
#include <windows.h>

// Posted by the search worker to the main window when it ends.
constexpr UINT WM_FIND_DONE = WM_APP + 1;
// Sent to the main window by OnReFind called on another thread: the re-search then
// runs on the window's thread.
constexpr UINT WM_REFIND_REQUEST = WM_APP + 2;
// Posted by a delete or move worker to the main window when its pass has ended.
constexpr UINT WM_FILE_PASS_DONE = WM_APP + 3;
// Posted after a click on a check box: the box (lParam) is put back as the click
// left it (wParam 1 ticked), should the tree have flipped it again
// (CResultsView::SettleTick).
constexpr UINT WM_TICK_SETTLE = WM_APP + 4;
// Sent by the worker in fast mode to have the feed shown before it goes on.
constexpr UINT WM_SCAN_FLUSH = WM_APP + 0x20;
// Sent by the worker at the default pace with the rows of one group event, made on
// the window's thread so that no clear can come between them.
constexpr UINT WM_SCAN_ROWS = WM_APP + 0x21;
// Posted by the tree child when its size changed (its vertical scroll bar came or
// went), so the column tree lays its children out again.
constexpr UINT WM_COLUMNTREE_RELAYOUT = WM_APP + 0x3F1;
// Posted to the update notice by a check that found nothing to offer.
constexpr UINT WM_NO_UPDATE = WM_USER + 130;
// Sent to the update notice by a check that found a newer version; lParam points at
// the SUpdateFields to show.
constexpr UINT WM_UPDATE_FOUND = WM_USER + 131;
