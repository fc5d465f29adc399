#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

// Column 3 of a row: "%.3fM" from 1 MiB up, "%.3fK" from 1 KiB up, else "%dByte".
std::wstring SizeText(uint64_t size);

// Splits a full path at its last backslash; false (outputs untouched) when it has none.
bool SplitPath(const std::wstring& path, std::wstring& folder, std::wstring& name);

// The text after the last backslash; empty when the path has none.
std::wstring FileNameOfPath(const std::wstring& path);

// Puts the text on the clipboard as CF_UNICODETEXT; false for an empty text or a
// clipboard that cannot be opened.
bool CopyTextToClipboard(const std::wstring& text, HWND owner = nullptr);
