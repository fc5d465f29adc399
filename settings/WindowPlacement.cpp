#include "settings/WindowPlacement.h"

#include <cwchar>

#include "settings/SettingsFile.h"
#include "win/Format.h"

std::wstring SWindowPlacement::Text() const {
    return win::Format(L"%ld,%ld,%ld,%ld,%d", normal.left, normal.top, normal.right, normal.bottom, maximized ? 1 : 0);
}

std::optional<SWindowPlacement> SWindowPlacement::Parse(const std::wstring& text) {
    long v[5] = {};
    const wchar_t* p = text.c_str();
    for (int i = 0; i < 5; ++i) {
        wchar_t* end = nullptr;
        v[i] = std::wcstol(p, &end, 10);
        if (end == p) return std::nullopt;
        p = end;
        if (i < 4) {
            if (*p != L',') return std::nullopt;
            ++p;
        }
    }
    if (*p != L'\0') return std::nullopt;
    SWindowPlacement placement;
    placement.normal = {v[0], v[1], v[2], v[3]};
    placement.maximized = v[4] != 0;
    // A rectangle too small to be a window, or turned inside out, is none.
    if (placement.normal.right - placement.normal.left < 50 || placement.normal.bottom - placement.normal.top < 50)
        return std::nullopt;
    return placement;
}

std::optional<SWindowPlacement> SWindowPlacement::Load() { return Parse(ReadSettingString(L"WindowPlacement", L"")); }

void SWindowPlacement::Save() const { WriteSettingString(L"WindowPlacement", Text()); }
