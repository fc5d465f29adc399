#pragma once
#include <string>

// The form of an absolute path to hand to the file functions. Paths that reach the
// classic length limit, and paths with a name ending in "." or " " (which the plain
// form silently trims, so that "a." would open "a"), get the "\\?\" (or "\\?\UNC\")
// prefix. Shown and stored paths never carry it. A drive root as the folder list keeps
// it ("D:") gets its backslash back.
std::wstring ToLongPath(const std::wstring& path);

// True when a name in the path ends in "." or " ": only the prefixed form reaches it.
bool HasTrimmedName(const std::wstring& path);
