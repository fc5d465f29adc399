#include "engine/FileStatus.h"

#include "engine/LongPath.h"
#include "win/Format.h"

std::wstring FormatFileTime(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st))
        return std::wstring();
    return win::Format(L"%02d-%02d-%02d %02d:%02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour,
                       st.wMinute, st.wSecond);
}

bool ReadFileStatus(const std::wstring& path, uint64_t& size, std::wstring& timeText) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(ToLongPath(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    timeText = FormatFileTime(data.ftLastWriteTime);
    return true;
}
