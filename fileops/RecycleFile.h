#pragma once
#include <string>

// Moves one file to the recycle bin without any dialog. True only when the shell
// reports success and the file is gone from its place.
bool RecycleFile(const std::wstring& path);
