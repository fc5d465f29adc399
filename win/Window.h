#pragma once
#include <string>
#include <windows.h>

namespace win {

// Non-owning HWND wrapper: one-line helpers over the messages the program uses.
// Calls from another thread are delivered synchronously to the owning thread.
class Window {
public:
    Window() = default;
    Window(HWND h) : hwnd_(h) {}  // NOLINT: implicit on purpose, it is just a handle

    HWND GetHwnd() const { return hwnd_; }
    operator HWND() const { return hwnd_; }
    void Attach(HWND h) { hwnd_ = h; }
    bool IsWindow() const { return hwnd_ && ::IsWindow(hwnd_); }

    LRESULT Send(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return SendMessageW(hwnd_, msg, wp, lp); }
    bool Post(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return PostMessageW(hwnd_, msg, wp, lp) != 0; }

    std::wstring GetText() const {
        int n = GetWindowTextLengthW(hwnd_);
        std::wstring s(n + 1, L'\0');
        n = GetWindowTextW(hwnd_, s.data(), n + 1);
        s.resize(n > 0 ? n : 0);
        return s;
    }
    bool SetText(const std::wstring& text) const { return SetWindowTextW(hwnd_, text.c_str()) != 0; }

    void Enable(bool on = true) const { EnableWindow(hwnd_, on); }
    bool IsEnabled() const { return IsWindowEnabled(hwnd_) != 0; }
    void Show(int cmd = SW_SHOW) const { ShowWindow(hwnd_, cmd); }
    bool IsVisible() const { return IsWindowVisible(hwnd_) != 0; }

    HWND GetItem(int id) const { return GetDlgItem(hwnd_, id); }
    int GetId() const { return GetDlgCtrlID(hwnd_); }
    HWND GetParent() const { return ::GetParent(hwnd_); }

    LONG_PTR GetStyle() const { return GetWindowLongPtrW(hwnd_, GWL_STYLE); }
    void ModifyStyle(LONG_PTR remove, LONG_PTR add) const {
        SetWindowLongPtrW(hwnd_, GWL_STYLE, (GetStyle() & ~remove) | add);
    }

    RECT GetClientRect() const { RECT r{}; ::GetClientRect(hwnd_, &r); return r; }
    RECT GetWindowRect() const { RECT r{}; ::GetWindowRect(hwnd_, &r); return r; }
    void SetRedraw(bool on) const { Send(WM_SETREDRAW, on ? TRUE : FALSE); }
    void Invalidate(bool erase = true) const { InvalidateRect(hwnd_, nullptr, erase); }
    void Update() const { UpdateWindow(hwnd_); }
    void SetFont(HFONT f, bool redraw = true) const { Send(WM_SETFONT, reinterpret_cast<WPARAM>(f), redraw); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(Send(WM_GETFONT)); }

    // Button helpers.
    int GetCheck() const { return static_cast<int>(Send(BM_GETCHECK)); }
    void SetCheck(int state) const { Send(BM_SETCHECK, state); }

protected:
    HWND hwnd_ = nullptr;
};

}  // namespace win
