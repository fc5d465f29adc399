#include "win/SubclassedControl.h"

#include <commctrl.h>

namespace win {

namespace {
const wchar_t kControlProp[] = L"Twinseek.Control";
const UINT_PTR kSubclassId = 0x7477;
}  // namespace

SubclassedControl::~SubclassedControl() { UnsubclassWindow(); }

bool SubclassedControl::SubclassWindow(HWND h) {
    if (!h || hwnd_) return false;
    hwnd_ = h;
    SetPropW(h, kControlProp, this);
    if (!SetWindowSubclass(h, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        RemovePropW(h, kControlProp);
        hwnd_ = nullptr;
        return false;
    }
    OnSubclassed();
    return true;
}

void SubclassedControl::UnsubclassWindow() {
    if (!hwnd_) return;
    if (::IsWindow(hwnd_)) {
        RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
        RemovePropW(hwnd_, kControlProp);
    }
    hwnd_ = nullptr;
}

SubclassedControl* SubclassedControl::FromHandle(HWND h) {
    return h ? static_cast<SubclassedControl*>(GetPropW(h, kControlProp)) : nullptr;
}

bool SubclassedControl::OnReflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT SubclassedControl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

LRESULT SubclassedControl::Default(UINT msg, WPARAM wp, LPARAM lp) {
    return DefSubclassProc(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK SubclassedControl::SubclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                                 DWORD_PTR ref) {
    auto* self = reinterpret_cast<SubclassedControl*>(ref);
    if (msg == WM_NCDESTROY) {
        // The window goes away before the object: detach so the object never
        // touches a dead handle.
        LRESULT r = DefSubclassProc(h, msg, wp, lp);
        RemoveWindowSubclass(h, SubclassProc, kSubclassId);
        RemovePropW(h, kControlProp);
        if (self) self->hwnd_ = nullptr;
        return r;
    }
    try {
        return self ? self->WindowProc(msg, wp, lp) : DefSubclassProc(h, msg, wp, lp);
    } catch (...) {
        // Nothing may unwind through the system's window procedure.
        return 0;
    }
}

}  // namespace win
