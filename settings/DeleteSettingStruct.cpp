#include "settings/DeleteSettingStruct.h"

#include "settings/SettingsFile.h"

void DeleteSettingStruct::Load() {
    DelDirect = ReadSettingInt(L"DelDirect", 0);
    DelReFind = ReadSettingInt(L"DelReFind", 0);
    DelEmptyDir = ReadSettingInt(L"DelEmptyDir", 0);
    HowToDel = ReadSettingInt(L"HowToDel", 1);
    DelSameContent = ReadSettingInt(L"DelSameContent", 1);
}

void DeleteSettingStruct::Save() const {
    WriteSettingInt(L"DelDirect", DelDirect);
    WriteSettingInt(L"DelReFind", DelReFind);
    WriteSettingInt(L"DelEmptyDir", DelEmptyDir);
    WriteSettingInt(L"HowToDel", HowToDel);
    WriteSettingInt(L"DelSameContent", DelSameContent);
}
