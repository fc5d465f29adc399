#pragma once
#include <string>

// The form of an absolute path to hand to the file functions: paths that reach
// the classic length limit get the "\\?\" (or "\\?\UNC\") prefix. Shown and stored
// paths never carry it.
std::wstring ToLongPath(const std::wstring& path);
