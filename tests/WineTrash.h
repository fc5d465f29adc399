#pragma once
// Where Wine puts recycled files: the XDG trash of the user running it, seen through
// drive Z:. Wine makes that trash only inside an existing data folder (as a desktop
// has one), so the folder is made here when it is missing.
#include <windows.h>

#include <string>

inline std::wstring WineTrashFiles() {
    wchar_t buffer[MAX_PATH] = {};
    std::wstring data;
    if (GetEnvironmentVariableW(L"XDG_DATA_HOME", buffer, MAX_PATH)) {
        data = std::wstring(L"Z:") + buffer;
        for (auto& c : data)
            if (c == L'/') c = L'\\';
    } else if (GetEnvironmentVariableW(L"WINEHOMEDIR", buffer, MAX_PATH)) {
        data = buffer;   // "\??\Z:\home\user"
        if (data.rfind(L"\\??\\", 0) == 0) data = data.substr(4);
        CreateDirectoryW((data + L"\\.local").c_str(), nullptr);
        data += L"\\.local\\share";
    } else {
        return L"";
    }
    CreateDirectoryW(data.c_str(), nullptr);
    return data + L"\\Trash\\files\\";
}

// Takes a recycled file out of the trash again.
inline void EmptyWineTrashOf(const std::wstring& trashFiles, const std::wstring& name) {
    DeleteFileW((trashFiles + name).c_str());
    DeleteFileW((trashFiles + L"..\\info\\" + name + L".trashinfo").c_str());
}

// A name no earlier run has left in the trash.
inline std::wstring UniqueTrashName(const std::wstring& stem) {
    return stem + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount()) + L".txt";
}
