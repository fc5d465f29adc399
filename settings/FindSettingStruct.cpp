#include "settings/FindSettingStruct.h"

#include <windows.h>

#include <cstdio>
#include <cwctype>

#include "settings/SettingsFile.h"
#include "win/CodePage.h"
#include "win/Handles.h"

void FindSettingStruct::Load() {
    FindSimularFile = ReadSettingInt(L"FindSimularFile", 0);
    FindSizeFile = ReadSettingInt(L"FindSizeFile", 0);
    FindTimeFile = ReadSettingInt(L"FindTimeFile", 0);
    FindMD5File = ReadSettingInt(L"FindMD5File", 0);
    ExpandItem = ReadSettingInt(L"ExpandItem", 0);
    FileExtType = ReadSettingInt(L"FileExtType", 0);
    Md5MaxSize = ReadSettingInt(L"Md5MaxSize", 10);
    FastSearch = ReadSettingInt(L"FastSearch", 0);
    LoadExtList();
}

void FindSettingStruct::Save() const {
    WriteSettingInt(L"FindSimularFile", FindSimularFile);
    WriteSettingInt(L"FindSizeFile", FindSizeFile);
    WriteSettingInt(L"FindTimeFile", FindTimeFile);
    WriteSettingInt(L"FindMD5File", FindMD5File);
    WriteSettingInt(L"ExpandItem", ExpandItem);
    WriteSettingInt(L"FileExtType", FileExtType);
    WriteSettingInt(L"Md5MaxSize", Md5MaxSize);
    WriteSettingInt(L"FastSearch", FastSearch);
    SaveExtList();
}

namespace {

std::wstring Trimmed(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && iswspace(s[b])) ++b;
    while (e > b && iswspace(s[e - 1])) --e;
    return s.substr(b, e - b);
}

}  // namespace

void FindSettingStruct::LoadExtList() {
    win::UniqueFile f(_wfopen(ExtListFilePath().c_str(), L"rt"));
    if (!f) return;
    // A line longer than the reader's 254 bytes arrives in pieces, each an entry.
    char chunk[255];
    while (fgets(chunk, sizeof chunk, f.get())) {
        std::wstring text = Trimmed(win::FromMultiByte(chunk, CP_ACP));
        if (text.empty() || ExtList.Contains(text)) continue;
        ExtList.Add(text);
    }
}

void FindSettingStruct::SaveExtList() const {
    std::wstring path = ExtListFilePath();
    if (ExtList.empty()) {
        DeleteFileW(path.c_str());
        return;
    }
    win::UniqueFile f(_wfopen(path.c_str(), L"wt"));
    if (!f) return;
    // Written in the code page it is read in, so non-ASCII entries survive.
    for (const std::wstring& ext : ExtList) {
        std::string bytes = win::ToMultiByte(ext, CP_ACP);
        fwrite(bytes.data(), 1, bytes.size(), f.get());
        fputc('\n', f.get());
    }
}
