#include "win/Format.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace win {

std::wstring FormatV(const wchar_t* fmt, va_list args) {
    // _vsnwprintf returns -1 when the buffer is too small, so grow until it fits.
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        int n = _vsnwprintf(buf.data(), buf.size(), fmt, copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buf.size()) return std::wstring(buf.data(), n);
        if (buf.size() > (1u << 24)) return std::wstring(buf.data(), buf.size());
        buf.resize(buf.size() * 2);
    }
}

std::wstring Format(const wchar_t* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::wstring s = FormatV(fmt, args);
    va_end(args);
    return s;
}

}  // namespace win
