#include "settings/MoveSettingStruct.h"

#include "settings/SettingsFile.h"

void MoveSettingStruct::Load() {
    Copy = ReadSettingInt(L"Copy", 0);
    OverWrite = ReadSettingInt(L"OverWrite", 0);
    DelEmpty = ReadSettingInt(L"DelEmpty", 0);
    MoveType = ReadSettingInt(L"MoveType", 0);
    SavePath = ReadSettingString(L"SavePath", L"");
}

void MoveSettingStruct::Save() const {
    WriteSettingInt(L"Copy", Copy);
    WriteSettingInt(L"OverWrite", OverWrite);
    WriteSettingInt(L"DelEmpty", DelEmpty);
    WriteSettingInt(L"MoveType", MoveType);
    WriteSettingString(L"SavePath", SavePath);
}
