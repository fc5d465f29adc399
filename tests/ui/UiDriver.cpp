#include "tests/ui/UiDriver.h"

#include <atomic>
#include <vector>

namespace ui {

bool WaitUntil(const std::function<bool()>& pred, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (pred()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        Sleep(10);
    }
}

namespace {

struct FindData {
    std::function<bool(HWND)> pred;
    HWND found = nullptr;
};

BOOL CALLBACK EnumProc(HWND h, LPARAM lp) {
    auto* d = reinterpret_cast<FindData*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(h)) return TRUE;
    if (d->pred(h)) {
        d->found = h;
        return FALSE;
    }
    return TRUE;
}

HWND FindTop(const std::function<bool(HWND)>& pred) {
    FindData d{pred};
    EnumWindows(EnumProc, reinterpret_cast<LPARAM>(&d));
    return d.found;
}

bool HasClass(HWND h, const wchar_t* cls) {
    if (!cls) return true;
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return std::wstring(name) == cls;
}

}  // namespace

std::wstring Text(HWND h) {
    int n = GetWindowTextLengthW(h);
    std::wstring s(n + 1, L'\0');
    n = GetWindowTextW(h, s.data(), n + 1);
    s.resize(n > 0 ? n : 0);
    return s;
}

std::wstring ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }

std::wstring MessageBoxText(HWND box) { return ItemText(box, 65535); }

HWND FindTopWindow(const std::wstring& caption, const wchar_t* cls) {
    return FindTop([&](HWND h) { return HasClass(h, cls) && (caption.empty() || Text(h) == caption); });
}

HWND WaitForTopWindow(const std::wstring& caption, const wchar_t* cls, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(caption, cls)) != nullptr; }, timeoutMs);
    return found;
}

HWND WaitForMessageBox(const std::wstring& text, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindTop([&](HWND h) { return HasClass(h, L"#32770") && MessageBoxText(h) == text; });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool WaitForClose(HWND h, int timeoutMs) {
    return WaitUntil([&] { return !IsWindow(h) || !IsWindowVisible(h); }, timeoutMs);
}

void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PostCommand(HWND window, int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void SetItemText(HWND dialog, int id, const std::wstring& text) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

namespace {

BOOL CALLBACK CloseThreadWindow(HWND h, LPARAM) {
    // Ends message boxes and dialogs alike; EndDialog only works from the owner thread,
    // so ask politely with the cancel command first.
    PostMessageW(h, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(h, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

void RunModal(const std::function<void()>& modal, const std::function<void()>& driver, int timeoutMs) {
    DWORD uiThread = GetCurrentThreadId();
    std::atomic<bool> modalDone{false};
    std::thread t([&] {
        driver();
        if (!WaitUntil([&] { return modalDone.load(); }, timeoutMs)) {
            while (!modalDone) {
                EnumThreadWindows(uiThread, CloseThreadWindow, 0);
                Sleep(200);
            }
        }
    });
    modal();
    modalDone = true;
    t.join();
}

}  // namespace ui
