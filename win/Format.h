#pragma once
#include <cstdarg>
#include <string>

namespace win {

// printf-style formatting with Microsoft semantics: %s takes a wide string.
// MinGW's C++ mode maps swprintf to the C99 variant (where %s is narrow), so this
// goes through _vsnwprintf, which keeps the meaning the program's texts assume.
std::wstring Format(const wchar_t* fmt, ...);
std::wstring FormatV(const wchar_t* fmt, va_list args);

}  // namespace win
