#pragma once
#include <windows.h>

#include "win/Handles.h"

namespace win {

// Stops a window from painting for a short scope by clearing its visible bit, as
// DefWindowProc's WM_SETREDRAW does, and keeps what was waiting to be painted.
//
// Some controls answer WM_SETREDRAW with a flag of their own and go on updating
// their scroll bars and invalidating on every change; Wine's tree view spends
// 2-3 ms per changed row label that way. Without the visible bit that work is
// skipped. Keep the scope to one stretch of work on the window's thread: a window
// without the bit takes no mouse input.
class PaintPause {
public:
    explicit PaintPause(HWND h) {
        if (!h || !(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE)) return;   // hidden stays hidden
        hwnd_ = h;
        pending_.reset(CreateRectRgn(0, 0, 0, 0));
        // DefWindowProc validates the window when it clears the bit.
        if (pending_ && GetUpdateRgn(h, pending_.get(), FALSE) <= NULLREGION) pending_.reset();
        DefWindowProcW(h, WM_SETREDRAW, FALSE, 0);
    }
    ~PaintPause() {
        if (!hwnd_) return;
        DefWindowProcW(hwnd_, WM_SETREDRAW, TRUE, 0);
        if (pending_) InvalidateRgn(hwnd_, pending_.get(), TRUE);
    }
    PaintPause(const PaintPause&) = delete;
    PaintPause& operator=(const PaintPause&) = delete;

private:
    HWND hwnd_ = nullptr;
    GdiObject<HRGN> pending_;
};

}  // namespace win
