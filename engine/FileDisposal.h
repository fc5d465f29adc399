#pragma once
#include <string>
#include <windows.h>

// Whether a name is on disk. Gone only when the system says so (not found): a name
// it will not show (deletion pending while another program holds the file, no right
// to look) is not known to be gone.
enum class ENameState { There, Gone, Unknown };
ENameState NameState(const std::wstring& path);

// Marks a file open with DELETE access to go when its last handle closes; false when
// the system refuses (a read-only file, a mapped one).
bool DeleteOnClose(HANDLE file);
