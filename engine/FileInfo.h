#pragma once
#include <cstdint>
#include <string>

// One examined file. A plain value, copied whenever it is stored or handed out.
struct SFileInfo {
    std::wstring strName;   // listed name; without its extension when extensions are ignored
    std::wstring strPath;   // folder + "\" + full listed name
    std::wstring strTime;   // last-write time text (FormatFileTime)
    uint64_t nSize = 0;
    std::wstring strMD5;    // 32 hex digits, or empty when the digest criterion is off

    bool operator==(const SFileInfo&) const = default;
};
