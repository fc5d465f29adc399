#pragma once
#include <string>
#include <windows.h>

// MD5 of a whole file as 32 lower-case hex digits. The file is opened with write
// sharing denied, so a file that another handle has open for writing fails.
// Both throw CFileError when the file cannot be opened or read.
std::wstring DigestOfFile(const std::wstring& path);
// Digests from the handle's current position to the end of the file.
std::wstring DigestOfStream(HANDLE file);
