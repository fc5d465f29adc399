// The main window's layout when its size changes: a move to a screen of another
// DPI takes the size the system suggests, and the controls are laid out for that DPI
// from their anchors (the frame stays fixed, so nothing else resizes it).
#include "app/TwinseekDlg.h"
#include "res/resource.h"
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

LRESULT CTwinseekDlg::OnSize(WPARAM wp, LPARAM) {
    if (wp != SIZE_MINIMIZED) Layout.Apply();
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
