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

TempDir::TempDir() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static std::atomic<int> counter{0};
    for (;;) {
        path_ = std::wstring(base) + L"twinseek-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(counter++) + L"-" + std::to_wstring(GetTickCount());
        if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    }
}

TempDir::~TempDir() { RemoveTree(path_); }

std::wstring TempDir::MakeDir(const std::wstring& relative) const {
    std::wstring full = path_;
    size_t pos = 0;
    while (pos <= relative.size()) {
        size_t next = relative.find(L'\\', pos);
        if (next == std::wstring::npos) next = relative.size();
        full += L"\\" + relative.substr(pos, next - pos);
        CreateDirectoryW(full.c_str(), nullptr);
        pos = next + 1;
    }
    return full;
}

std::wstring TempDir::WriteFile(const std::wstring& relative, const std::string& content) const {
    size_t slash = relative.find_last_of(L'\\');
    if (slash != std::wstring::npos) MakeDir(relative.substr(0, slash));
    std::wstring full = path_ + L"\\" + relative;
    HANDLE h = CreateFileW(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        if (!content.empty()) ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(h);
    }
    return full;
}

bool RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW fd;
    HANDLE f = FindFirstFileW((path + L"\\*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = path + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(f, &fd));
        FindClose(f);
    }
    return RemoveDirectoryW(path.c_str()) != 0;
}

std::string ReadFileBytes(const std::wstring& path) {
    std::string out;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return out;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return out;
}

}  // namespace ui
