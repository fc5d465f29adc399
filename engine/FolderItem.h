#pragma once
#include <string>

// One folder of the folder list; the path carries no trailing backslash.
struct SFolderItem {
    unsigned char bSubFolder = 0;   // search its subfolders too
    unsigned char bPending = 0;     // still to be searched in the current run
    std::wstring strPath;
};
