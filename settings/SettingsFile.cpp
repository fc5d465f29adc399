#include "settings/SettingsFile.h"

#include <windows.h>

#include <mutex>
#include <vector>

#include "win/Format.h"
#include "win/Handles.h"

namespace {

std::mutex g_overrideLock;
std::wstring g_programDirOverride;

const wchar_t kSection[] = L"TWINSEEK";

// The profile functions create a missing file in the ANSI code page, where a
// folder name outside it would turn into question marks. A file that starts as
// UTF-16 with a byte-order mark stays UTF-16, so every path survives.
void EnsureUnicodeSettingsFile(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return;
    win::UniqueHandle h(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return;
    static const unsigned char bom[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(h.get(), bom, sizeof bom, &written, nullptr);
}

}  // namespace

void SetProgramDirOverride(const std::wstring& dir) {
    std::lock_guard<std::mutex> lock(g_overrideLock);
    g_programDirOverride = dir;
    if (!g_programDirOverride.empty() && g_programDirOverride.back() != L'\\') g_programDirOverride += L'\\';
}

std::wstring GetProgramDir(bool full) {
    std::vector<wchar_t> buf(520);
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    std::wstring path(buf.data(), n);
    if (full) return path;
    {
        std::lock_guard<std::mutex> lock(g_overrideLock);
        if (!g_programDirOverride.empty()) return g_programDirOverride;
    }
    size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring SettingsFilePath() { return win::Format(L"%sconfig\\Setting.ini", GetProgramDir().c_str()); }

std::wstring ExtListFilePath() {
    return win::Format(L"%s\\config\\%s", GetProgramDir().c_str(), L"ext.list");
}

int ReadSettingInt(const wchar_t* key, int def) {
    return static_cast<int>(GetPrivateProfileIntW(kSection, key, def, SettingsFilePath().c_str()));
}

void WriteSettingInt(const wchar_t* key, int value) {
    std::wstring path = SettingsFilePath();
    EnsureUnicodeSettingsFile(path);
    WritePrivateProfileStringW(kSection, key, win::Format(L"%d", value).c_str(), path.c_str());
}

std::wstring ReadSettingString(const wchar_t* key, const wchar_t* def) {
    std::vector<wchar_t> buf(4096);
    DWORD n = GetPrivateProfileStringW(kSection, key, def, buf.data(), static_cast<DWORD>(buf.size()),
                                       SettingsFilePath().c_str());
    return std::wstring(buf.data(), n);
}

void WriteSettingString(const wchar_t* key, const std::wstring& value) {
    std::wstring path = SettingsFilePath();
    EnsureUnicodeSettingsFile(path);
    WritePrivateProfileStringW(kSection, key, value.c_str(), path.c_str());
}

std::vector<std::wstring> ReadSettingList(const wchar_t* section) {
    const std::wstring path = SettingsFilePath();
    const int count = static_cast<int>(GetPrivateProfileIntW(section, L"Count", 0, path.c_str()));
    std::vector<std::wstring> items;
    std::vector<wchar_t> buf(32768);
    // A broken count reads no more than the keys that are there.
    for (int i = 1; i <= count && i <= 4096; ++i) {
        DWORD n = GetPrivateProfileStringW(section, win::Format(L"Item%d", i).c_str(), L"", buf.data(),
                                           static_cast<DWORD>(buf.size()), path.c_str());
        if (n) items.emplace_back(buf.data(), n);
    }
    return items;
}

void WriteSettingList(const wchar_t* section, const std::vector<std::wstring>& items) {
    const std::wstring path = SettingsFilePath();
    EnsureUnicodeSettingsFile(path);
    WritePrivateProfileStringW(section, nullptr, nullptr, path.c_str());
    WritePrivateProfileStringW(section, L"Count", win::Format(L"%d", static_cast<int>(items.size())).c_str(),
                               path.c_str());
    for (size_t i = 0; i < items.size(); ++i)
        WritePrivateProfileStringW(section, win::Format(L"Item%d", static_cast<int>(i + 1)).c_str(), items[i].c_str(),
                                   path.c_str());
}
