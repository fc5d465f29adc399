#include "win/Dpi.h"

namespace win {

UINT DpiOf(HWND window) {
    // Looked up at run time: Windows 7 and 8 have no per-window DPI.
    using ForWindow = UINT(WINAPI*)(HWND);
    static const auto forWindow =
        reinterpret_cast<ForWindow>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (forWindow && window) {
        if (UINT dpi = forWindow(window)) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

}  // namespace win
