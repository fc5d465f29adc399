#include "win/MessageBox.h"

#include <atomic>

namespace win {

namespace {
std::atomic<HWND> g_mainWindow{nullptr};
}

void SetAppMainWindow(HWND h) { g_mainWindow = h; }
HWND GetAppMainWindow() { return g_mainWindow; }

HWND GetSafeOwner(HWND self) {
    HWND main = g_mainWindow;
    // Only a window of the calling thread can own a modal window safely.
    if (main && main != self && IsWindow(main) &&
        GetWindowThreadProcessId(main, nullptr) == GetCurrentThreadId())
        return GetLastActivePopup(main) != self ? GetLastActivePopup(main) : main;
    HWND active = GetActiveWindow();
    return active != self ? active : nullptr;
}

std::wstring AppName() {
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
    std::wstring name(path);
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

int AppMessageBox(const std::wstring& text, UINT type) {
    return MessageBoxW(GetSafeOwner(), text.c_str(), AppName().c_str(), type);
}

}  // namespace win
