#pragma once
#include <functional>
#include <string>
#include <windows.h>

// Whether two files hold the same bytes, read from the disk now.
enum class ESameBytes {
    Same,
    Different,
    // One of them could not be opened or read: nothing is known.
    Unreadable,
};

// Compares two open files from their current positions to their ends, in large
// blocks, stopping at the first difference. `eachBlock`, when given, runs after every
// block: a stop check may throw from it.
ESameBytes CompareStreams(HANDLE a, HANDLE b, const std::function<void()>& eachBlock = nullptr);
// Compares the file open as `open` (from its start) with the file at `path`, which is
// opened with write sharing denied so that nobody changes it while it is read.
ESameBytes CompareWithFile(HANDLE open, const std::wstring& path, const std::function<void()>& eachBlock = nullptr);
// Both files by path, each opened as above.
ESameBytes CompareFiles(const std::wstring& a, const std::wstring& b, const std::function<void()>& eachBlock = nullptr);
