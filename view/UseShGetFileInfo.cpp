#include "view/UseShGetFileInfo.h"

#include <shellapi.h>

HIMAGELIST CUseShGetFileInfo::GetSystemImageList(bool small) const {
    SHFILEINFOW info{};
    UINT flags = SHGFI_SYSICONINDEX | (small ? SHGFI_SMALLICON : 0);
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(L"c:\\", 0, &info, sizeof info, flags));
}

int CUseShGetFileInfo::GetFileIconIndex(const std::wstring& name, bool small) const {
    SHFILEINFOW info{};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | (small ? SHGFI_SMALLICON : 0);
    SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info, flags);
    return info.iIcon;
}
