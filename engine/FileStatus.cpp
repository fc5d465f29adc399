#include "engine/FileStatus.h"

#include "engine/LongPath.h"

namespace {

// "%02d" of a field: at least two digits, all of them when there are more.
void PutField(wchar_t*& out, unsigned value, wchar_t after) {
    wchar_t digits[12];
    int n = 0;
    do {
        digits[n++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value);
    if (n < 2) digits[n++] = L'0';
    while (n) *out++ = digits[--n];
    if (after) *out++ = after;
}

}  // namespace

std::wstring FormatTimeFields(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                             unsigned second) {
    // Every examined file gets one: written out directly rather than through printf.
    wchar_t text[64];
    wchar_t* out = text;
    PutField(out, year, L'-');
    PutField(out, month, L'-');
    PutField(out, day, L' ');
    PutField(out, hour, L':');
    PutField(out, minute, L':');
    PutField(out, second, 0);
    return std::wstring(text, out);
}

std::wstring FormatFileTime(const FILETIME& utc) {
    FILETIME local;
    SYSTEMTIME st;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st))
        return std::wstring();
    return FormatTimeFields(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
}

bool ReadFileStatus(const std::wstring& path, uint64_t& size, std::wstring& timeText) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(ToLongPath(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    timeText = FormatFileTime(data.ftLastWriteTime);
    return true;
}
