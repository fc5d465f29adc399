#pragma once
#include <string>

// MoveType: which files of a group a move or copy takes.
enum MoveTypeValue : int { kMoveTicked = 0, kMoveAllButFirst = 1, kMoveAll = 2 };

// Options of the move dialog.
struct MoveSettingStruct {
    virtual ~MoveSettingStruct() = default;

    int MoveType = kMoveTicked;   // MoveTypeValue
    int Copy = 0;
    int OverWrite = 0;
    int DelEmpty = 0;
    std::wstring SavePath;

    void Load();
    void Save() const;
};
