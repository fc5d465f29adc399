#include "tests/ui/UiDriver.h"

#include <commctrl.h>

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

HWND WaitForDialog(const std::function<bool(HWND)>& pred, std::initializer_list<HWND> except, int timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindTop([&](HWND h) {
                for (HWND other : except)
                    if (h == other) return false;
                return HasClass(h, L"#32770") && pred(h);
            });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool AnswerMessageBox(const std::wstring& text, int button, int timeoutMs) {
    HWND box = WaitForMessageBox(text, timeoutMs);
    if (!box) return false;
    PressButton(box, button);
    return WaitForClose(box);
}

bool WaitForClose(HWND h, int timeoutMs) {
    return WaitUntil([&] { return !IsWindow(h) || !IsWindowVisible(h); }, timeoutMs);
}

HWND PickerTree(HWND picker) {
    HWND tree = FindWindowExW(picker, nullptr, L"SysTreeView32", nullptr);
    for (HWND child = GetWindow(picker, GW_CHILD); child && !tree; child = GetWindow(child, GW_HWNDNEXT))
        tree = FindWindowExW(child, nullptr, L"SysTreeView32", nullptr);
    return tree;
}

std::wstring CaretText(HWND tree) {
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return L"";
    wchar_t text[MAX_PATH] = {};
    TVITEMW tv = {};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = MAX_PATH;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}

std::vector<std::wstring> ListColumn(HWND list, int column) {
    std::vector<std::wstring> texts;
    for (int i = 0, n = ListView_GetItemCount(list); i < n; ++i) {
        wchar_t buf[300] = {};
        ListView_GetItemText(list, i, column, buf, 300);
        texts.push_back(buf);
    }
    return texts;
}

void ClickHeader(HWND list, int column) {
    HWND header = ListView_GetHeader(list);
    RECT r{};
    Header_GetItemRect(header, column, &r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
}

std::wstring TooltipText(HWND tooltip, HWND window) {
    wchar_t buffer[512] = {};
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = 1;
    tool.lpszText = buffer;
    SendMessageW(tooltip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
    return buffer;
}

bool Ticked(HWND dialog, int id) {
    return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void SetTick(HWND dialog, int id, bool on) {
    SendMessageW(GetDlgItem(dialog, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

void PressButton(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PressButtonNow(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
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
