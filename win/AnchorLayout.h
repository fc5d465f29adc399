#pragma once
#include <windows.h>

#include <functional>
#include <vector>

namespace win {

// A dialog whose size changes: each control keeps its place relative to the edges
// it hangs on. Captured once at the dialog's first size; applied on every WM_SIZE. Lengths are kept for the DPI they were captured at and scaled to the
// window's DPI when applied, so a move to a screen of another DPI lays out afresh.
class AnchorLayout {
public:
    enum : unsigned {
        kMoveX = 1,   // both sides follow the right edge
        kGrowX = 2,   // the right side follows the right edge
        kMoveY = 4,
        kGrowY = 8,
    };
    // Every child of `dialog`, its anchors from `anchorsOf` (0: stays put).
    void Capture(HWND dialog, const std::function<unsigned(HWND child)>& anchorsOf);
    void Apply() const;

private:
    struct Item {
        HWND window;
        RECT rect;   // client coordinates of the dialog at capture
        unsigned anchors;
    };
    HWND dialog_ = nullptr;
    UINT dpi_ = 96;
    SIZE client_{};
    std::vector<Item> items_;
};

}  // namespace win
