#pragma once
#include <string>

// Options of the move dialog.
struct MoveSettingStruct {
    virtual ~MoveSettingStruct() = default;

    int MoveType = 0;   // 0 ticked, 1 all but the first, 2 all files
    int Copy = 0;
    int OverWrite = 0;
    int DelEmpty = 0;
    std::wstring SavePath;

    void Load();
    void Save() const;
};
