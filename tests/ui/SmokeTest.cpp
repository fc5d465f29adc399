#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "settings/SettingsFile.h"
#include "tests/ui/UiDriver.h"

namespace {

struct FoundWindow {
    DWORD pid;
    HWND hwnd;
};

BOOL CALLBACK FindMain(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<FoundWindow*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == f->pid && IsWindowVisible(h) && ui::Text(h) == L"Kestrelsoft-双生搜寻V1.10-20121012") {
        f->hwnd = h;
        return FALSE;
    }
    return TRUE;
}

// Starts the real program beside the test executable and closes it again.
TEST(Smoke, ProgramStartsShowsItsWindowAndCloses) {
    std::wstring exe = GetProgramDir() + L"twinseek.exe";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(exe.c_str())) << "missing beside the tests";
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    std::wstring cmd = L"\"" + exe + L"\"";
    ASSERT_TRUE(CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    FoundWindow f{pi.dwProcessId, nullptr};
    bool found = ui::WaitUntil([&] {
        f.hwnd = nullptr;
        EnumWindows(FindMain, reinterpret_cast<LPARAM>(&f));
        return f.hwnd != nullptr;
    }, 30000);
    if (found) {
        wchar_t text[64] = {};
        GetDlgItemTextW(f.hwnd, 1004, text, 64);
        EXPECT_STREQ(L"开始查找", text);
        PostMessageW(f.hwnd, WM_CLOSE, 0, 0);
    }
    EXPECT_TRUE(found);
    DWORD wait = WaitForSingleObject(pi.hProcess, 15000);
    EXPECT_EQ(WAIT_OBJECT_0, wait);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(0u, code);
    if (wait != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace
