#pragma once
#include <string>
#include <string_view>

// What a search never lists: the system's own folders (the recycle bins of every
// Windows version and the restore-point store) and the temporary names that this
// program's own file passes make beside a file. A file in there is no user's copy:
// keeping it while its live twin goes would leave the data only in the bin.

// A folder name the scan does not enter (letter case ignored).
bool IsSystemFolderName(std::wstring_view name);
// A name this program gives a file for a moment: the spare name of a recycling and
// the partial copy of a move or copy.
bool IsOwnTemporaryName(std::wstring_view name);
// True when a folder of the path is a recycle bin or the restore-point store.
bool IsInSystemFolder(std::wstring_view path);

// The endings of the program's own temporary names.
inline constexpr wchar_t kSpareNameEnding[] = L".twinseek-keep";
inline constexpr wchar_t kPartialCopyEnding[] = L".twinseek-part";
