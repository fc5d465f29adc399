#include "win/SubclassedControl.h"

#include <mutex>
#include <unordered_map>

namespace win {

namespace {

// Which object a control belongs to and the procedure it had before. Kept in the
// process rather than with the system's subclass helper, which under Wine keeps its
// data as window properties: a round trip to the window server on every message
// (about 0.1 ms), which made a list of 100,000 rows take half a minute to fill.
struct Attachment {
    SubclassedControl* control = nullptr;   // null once detached
    WNDPROC previous = nullptr;
};

struct Registry {
    std::mutex lock;
    std::unordered_map<HWND, Attachment> windows;
};

Registry& Windows() {
    static Registry registry;
    return registry;
}

bool Find(HWND h, Attachment& out) {
    std::lock_guard<std::mutex> guard(Windows().lock);
    auto it = Windows().windows.find(h);
    if (it == Windows().windows.end()) return false;
    out = it->second;
    return true;
}

}  // namespace

SubclassedControl::~SubclassedControl() { UnsubclassWindow(); }

bool SubclassedControl::SubclassWindow(HWND h) {
    if (!h || hwnd_ || !::IsWindow(h)) return false;
    {
        std::lock_guard<std::mutex> guard(Windows().lock);
        Attachment& a = Windows().windows[h];
        // A window detached earlier keeps our procedure in its chain: only the
        // object changes.
        if (a.previous) {
            a.control = this;
            hwnd_ = h;
        }
    }
    if (!hwnd_) {
        // Registered before the switch, so the first message finds its object.
        {
            std::lock_guard<std::mutex> guard(Windows().lock);
            Windows().windows[h].control = this;
        }
        hwnd_ = h;
        auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedControl::SubclassProc)));
        std::lock_guard<std::mutex> guard(Windows().lock);
        if (!previous) {
            Windows().windows.erase(h);
            hwnd_ = nullptr;
            return false;
        }
        Windows().windows[h].previous = previous;
    }
    OnSubclassed();
    return true;
}

void SubclassedControl::UnsubclassWindow() {
    if (!hwnd_) return;
    const HWND h = hwnd_;
    hwnd_ = nullptr;
    std::lock_guard<std::mutex> guard(Windows().lock);
    auto it = Windows().windows.find(h);
    if (it == Windows().windows.end()) return;
    // Our procedure can leave the chain only while it is on top of it; otherwise it
    // stays and passes everything on.
    if (::IsWindow(h) &&
        GetWindowLongPtrW(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassedControl::SubclassProc)) {
        SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.previous));
        Windows().windows.erase(it);
    } else {
        it->second.control = nullptr;
    }
}

SubclassedControl* SubclassedControl::FromHandle(HWND h) {
    Attachment a;
    return h && Find(h, a) ? a.control : nullptr;
}

bool SubclassedControl::OnReflect(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT SubclassedControl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

LRESULT SubclassedControl::Default(UINT msg, WPARAM wp, LPARAM lp) {
    Attachment a;
    if (!Find(hwnd_, a) || !a.previous) return DefWindowProcW(hwnd_, msg, wp, lp);
    return CallWindowProcW(a.previous, hwnd_, msg, wp, lp);
}

LRESULT CALLBACK SubclassedControl::SubclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    Attachment a;
    if (!Find(h, a) || !a.previous) return DefWindowProcW(h, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // The window goes away before the object: detach so the object never
        // touches a dead handle.
        {
            std::lock_guard<std::mutex> guard(Windows().lock);
            Windows().windows.erase(h);
        }
        if (a.control) a.control->hwnd_ = nullptr;
        return CallWindowProcW(a.previous, h, msg, wp, lp);
    }
    try {
        return a.control ? a.control->WindowProc(msg, wp, lp) : CallWindowProcW(a.previous, h, msg, wp, lp);
    } catch (...) {
        // Nothing may unwind through the system's window procedure.
        return 0;
    }
}

}  // namespace win
