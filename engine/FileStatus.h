#pragma once
#include <cstdint>
#include <string>
#include <windows.h>

// Last-write time as shown and compared everywhere: local time,
// "%02d-%02d-%02d %02d:%02d:%02d" (the year keeps all its digits).
std::wstring FormatFileTime(const FILETIME& utc);
// The same text from its fields.
std::wstring FormatTimeFields(unsigned year, unsigned month, unsigned day, unsigned hour, unsigned minute,
                             unsigned second);

// Size and time text of a file by its path; false when the status cannot be read.
bool ReadFileStatus(const std::wstring& path, uint64_t& size, std::wstring& timeText);
