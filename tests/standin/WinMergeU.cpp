// Stands in for the comparison program in the tests: writes the command line it was
// started with (UTF-16) to WinMergeU.cmdline beside itself and ends.
#include <windows.h>

#include <string>

int wmain() {
    wchar_t self[32768] = {};
    DWORD n = GetModuleFileNameW(nullptr, self, 32768);
    std::wstring path(self, n);
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"WinMergeU.cmdline";
    const wchar_t* line = GetCommandLineW();
    std::wstring tmp = path + L".part";
    HANDLE h = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(h, line, static_cast<DWORD>(lstrlenW(line) * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(h);
    // Appears whole or not at all for the test that waits for it.
    MoveFileExW(tmp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}
