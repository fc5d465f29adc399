#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

// The shell's system image list and the per-type icon of a file name, looked up
// by name alone (the file is never touched on disk).
class CUseShGetFileInfo {
public:
    HIMAGELIST GetSystemImageList(bool small) const;
    int GetFileIconIndex(const std::wstring& name, bool small) const;
};
