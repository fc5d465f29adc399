#include "win/CodePage.h"

namespace win {

std::string ToMultiByte(const std::wstring& text, UINT codePage) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(n, '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

std::wstring FromMultiByte(const std::string& bytes, UINT codePage) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(n, L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

std::string ToUtf8(const std::wstring& text) { return ToMultiByte(text, CP_UTF8); }
std::wstring FromUtf8(const std::string& bytes) { return FromMultiByte(bytes, CP_UTF8); }

bool FitsCodePage(const std::wstring& text, UINT codePage) {
    return FromMultiByte(ToMultiByte(text, codePage), codePage) == text;
}

}  // namespace win
