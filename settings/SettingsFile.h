#pragma once
#include <string>
#include <vector>

// The program's folder with a trailing backslash, or (full = true) the path of
// the executable itself.
std::wstring GetProgramDir(bool full = false);

std::wstring SettingsFilePath();   // <program dir>config\Setting.ini
std::wstring ExtListFilePath();    // <program dir>\config\ext.list

// Section "TWINSEEK" of the settings file; the path is built afresh on each call.
int ReadSettingInt(const wchar_t* key, int def);
void WriteSettingInt(const wchar_t* key, int value);
std::wstring ReadSettingString(const wchar_t* key, const wchar_t* def);
void WriteSettingString(const wchar_t* key, const std::wstring& value);

// A section of its own holding a list: "Count", then "Item1" to "ItemN". Writing
// replaces the whole section.
std::vector<std::wstring> ReadSettingList(const wchar_t* section);
void WriteSettingList(const wchar_t* section, const std::vector<std::wstring>& items);
// Tests point the settings at a folder of their own; empty restores the default.
void SetProgramDirOverride(const std::wstring& dir);
