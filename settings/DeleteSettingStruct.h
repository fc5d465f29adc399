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
    // 1 a file goes only while a kept copy holds the same bytes, read just before;
    // 0 the search's criteria decide alone.
    int DelSameContent = 1;

    void Load();
    void Save() const;
};
