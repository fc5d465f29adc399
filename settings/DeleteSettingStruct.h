#pragma once

// Options of the delete dialog.
struct DeleteSettingStruct {
    virtual ~DeleteSettingStruct() = default;

    int HowToDel = 1;     // 0 all but the first of each group, 1 the ticked files
    int DelDirect = 0;    // 1 permanently, 0 to the recycle bin
    int DelReFind = 0;    // 1 search again afterwards
    int DelEmptyDir = 0;  // 1 remove emptied folders afterwards

    void Load();
    void Save() const;
};
