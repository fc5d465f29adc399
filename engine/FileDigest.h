#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <windows.h>

// MD5 of a whole file as 32 lower-case hex digits. The file is opened with write
// sharing denied, so a file that another handle has open for writing fails.
// Both throw CFileError when the file cannot be opened or read.
// `eachBlock`, when given, runs after every block read: a stop check may throw from
// it, and the file is closed on the way out.
// `knownSize`, when given, is the file's size as just listed: it saves calls for a
// small file, and the whole file is still read whatever its size turns out to be.
constexpr uint64_t kUnknownSize = ~0ull;
std::wstring DigestOfFile(const std::wstring& path, const std::function<void()>& eachBlock = nullptr,
                          uint64_t knownSize = kUnknownSize);
// How many files DigestOfFile has opened in this process: what tests count to know
// a file was not read again.
unsigned DigestOpenCount();
// Digests from the handle's current position to the end of the file.
std::wstring DigestOfStream(HANDLE file, const std::function<void()>& eachBlock = nullptr);
