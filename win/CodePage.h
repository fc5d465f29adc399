#pragma once
#include <string>
#include <windows.h>

namespace win {

// The one place where wide text meets the ANSI and OEM code pages.
std::string ToMultiByte(const std::wstring& text, UINT codePage = CP_ACP);
std::wstring FromMultiByte(const std::string& bytes, UINT codePage = CP_ACP);
std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& bytes);
// True when the text comes back unchanged through the code page: no character is
// replaced by "?" or by a look-alike ("best fit").
bool FitsCodePage(const std::wstring& text, UINT codePage = CP_ACP);

}  // namespace win
