// The main window as a window that can grow: its controls' anchors, its smallest
// size (the specified layout), its place kept in the settings, and a move to a
// screen of another DPI.
#include "app/TwinseekDlg.h"
#include "res/resource.h"
#include "settings/WindowPlacement.h"
#include "win/Dpi.h"

namespace {

// The results take the extra width and height, the status line the extra width;
// what sits at the right keeps its distance to the right edge, the bottom row its
// distance to the bottom.
unsigned AnchorsOf(HWND child) {
    using win::AnchorLayout;
    switch (GetDlgCtrlID(child)) {
    case IDC_FOLDER: return AnchorLayout::kGrowX;
    case IDC_SUBFOLDER:
    case IDOK:
    case IDC_CHECK_UPDATE: return AnchorLayout::kMoveX;
    case IDC_RESULTS: return AnchorLayout::kGrowX | AnchorLayout::kGrowY;
    case IDC_COUNT: return AnchorLayout::kMoveY;
    case IDC_STATUS: return AnchorLayout::kGrowX | AnchorLayout::kMoveY;
    case IDC_SUMMARY_TICKED: return AnchorLayout::kMoveX | AnchorLayout::kMoveY;
    default: break;
    }
    switch (GetWindowLongPtrW(child, GWL_STYLE) & SS_TYPEMASK) {
    case SS_ETCHEDHORZ: return AnchorLayout::kGrowX;
    case SS_ETCHEDVERT: return AnchorLayout::kMoveX;
    default: return 0;
    }
}

}  // namespace

void CTwinseekDlg::CaptureLayout() {
    Dpi = win::DpiOf(hwnd_);
    Layout.Capture(hwnd_, AnchorsOf);
}

void CTwinseekDlg::RestorePlacement() {
    const auto saved = SWindowPlacement::Load();
    // A screen that is gone (a laptop off its dock) leaves the window where the
    // dialog put it.
    if (!saved || !MonitorFromRect(&saved->normal, MONITOR_DEFAULTTONULL)) return;
    WINDOWPLACEMENT wp{sizeof wp};
    if (!GetWindowPlacement(hwnd_, &wp)) return;
    wp.rcNormalPosition = saved->normal;
    // Never below the specified layout.
    const SIZE least = Layout.MinimumSize();
    if (wp.rcNormalPosition.right - wp.rcNormalPosition.left < least.cx)
        wp.rcNormalPosition.right = wp.rcNormalPosition.left + least.cx;
    if (wp.rcNormalPosition.bottom - wp.rcNormalPosition.top < least.cy)
        wp.rcNormalPosition.bottom = wp.rcNormalPosition.top + least.cy;
    wp.showCmd = SW_SHOWNORMAL;
    wp.flags = 0;
    SetWindowPlacement(hwnd_, &wp);
    // The dialog manager shows the window normally once it is made: maximised after.
    if (saved->maximized) PostMessageW(hwnd_, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
}

void CTwinseekDlg::SavePlacement() const {
    WINDOWPLACEMENT wp{sizeof wp};
    if (!hwnd_ || !GetWindowPlacement(hwnd_, &wp)) return;
    SWindowPlacement placement;
    placement.normal = wp.rcNormalPosition;
    placement.maximized = wp.showCmd == SW_SHOWMAXIMIZED || (IsZoomed(hwnd_) != 0);
    placement.Save();
}

LRESULT CTwinseekDlg::OnSize(WPARAM wp, LPARAM) {
    if (wp != SIZE_MINIMIZED) Layout.Apply();
    return 0;
}

LRESULT CTwinseekDlg::OnGetMinMaxInfo(WPARAM, LPARAM lp) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lp);
    const SIZE least = Layout.MinimumSize();
    if (least.cx > 0) {
        info->ptMinTrackSize.x = least.cx;
        info->ptMinTrackSize.y = least.cy;
    }
    return 0;
}

LRESULT CTwinseekDlg::OnDpiChanged(WPARAM wp, LPARAM lp) {
    // The window takes the rectangle the system suggests for the new screen; the
    // results' own lengths (columns, indents) follow the ratio, and the layout is
    // laid out afresh at the new DPI.
    const UINT dpi = HIWORD(wp);
    const auto* suggested = reinterpret_cast<const RECT*>(lp);
    if (Dpi && dpi && dpi != Dpi) ResultTree.ScaleLengths(dpi, Dpi);
    Dpi = dpi;
    if (suggested)
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    Layout.Apply();
    return 0;
}
