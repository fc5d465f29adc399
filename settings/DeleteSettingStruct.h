#pragma once

// HowToDel: which files of a group a delete removes.
enum HowToDelValue : int { kDeleteAllButFirst = 0, kDeleteTicked = 1 };

// Options of the delete dialog.
struct DeleteSettingStruct {
    virtual ~DeleteSettingStruct() = default;

    int HowToDel = kDeleteTicked;   // HowToDelValue
    int DelDirect = 0;    // 1 permanently, 0 to the recycle bin
    int DelReFind = 0;    // 1 search again afterwards
    int DelEmptyDir = 0;  // 1 remove emptied folders afterwards

    void Load();
    void Save() const;
};
