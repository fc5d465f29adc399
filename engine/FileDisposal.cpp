#include "engine/FileDisposal.h"

#include "engine/LongPath.h"

ENameState NameState(const std::wstring& path) {
    if (GetFileAttributesW(ToLongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES) return ENameState::There;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENameState::Gone : ENameState::Unknown;
}

bool DeleteOnClose(HANDLE file) {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    return SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != FALSE;
}
