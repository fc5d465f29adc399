#pragma once
#include <windows.h>

namespace win {

constexpr UINT kBaseDpi = 96;

// The DPI a window is shown at: its monitor's under per-monitor awareness, the
// system's otherwise (and on systems before the per-window call).
UINT DpiOf(HWND window);
// A length given for 96 DPI, at `dpi`.
inline int Scaled(int pixels, UINT dpi) { return MulDiv(pixels, static_cast<int>(dpi), static_cast<int>(kBaseDpi)); }

}  // namespace win
