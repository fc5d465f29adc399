#include "win/AnchorLayout.h"

#include "win/Dpi.h"

namespace win {

namespace {

int ScaledBy(int value, UINT to, UINT from) { return MulDiv(value, static_cast<int>(to), static_cast<int>(from)); }

}  // namespace

void AnchorLayout::Capture(HWND dialog, const std::function<unsigned(HWND child)>& anchorsOf) {
    dialog_ = dialog;
    dpi_ = DpiOf(dialog);
    RECT client{};
    GetClientRect(dialog, &client);
    client_ = {client.right, client.bottom};
    items_.clear();
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        items_.push_back({child, r, anchorsOf(child)});
    }
}

void AnchorLayout::Apply() const {
    if (!dialog_ || IsIconic(dialog_)) return;
    const UINT dpi = DpiOf(dialog_);
    RECT client{};
    GetClientRect(dialog_, &client);
    const int dx = client.right - ScaledBy(client_.cx, dpi, dpi_);
    const int dy = client.bottom - ScaledBy(client_.cy, dpi, dpi_);
    HDWP batch = BeginDeferWindowPos(static_cast<int>(items_.size()));
    for (const Item& item : items_) {
        if (!IsWindow(item.window)) continue;
        RECT r{ScaledBy(item.rect.left, dpi, dpi_), ScaledBy(item.rect.top, dpi, dpi_),
               ScaledBy(item.rect.right, dpi, dpi_), ScaledBy(item.rect.bottom, dpi, dpi_)};
        if (item.anchors & kMoveX) {
            r.left += dx;
            r.right += dx;
        } else if (item.anchors & kGrowX) {
            r.right += dx;
        }
        if (item.anchors & kMoveY) {
            r.top += dy;
            r.bottom += dy;
        } else if (item.anchors & kGrowY) {
            r.bottom += dy;
        }
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
        if (batch)
            batch = DeferWindowPos(batch, item.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
        else
            SetWindowPos(item.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
    }
    if (batch) EndDeferWindowPos(batch);
    // Group boxes and etched lines leave traces where they were.
    InvalidateRect(dialog_, nullptr, TRUE);
}

}  // namespace win
