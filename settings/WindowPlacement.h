#pragma once
#include <windows.h>

#include <optional>
#include <string>

// The main window's place as the settings file keeps it, in key "WindowPlacement":
// "left,top,right,bottom,maximized" of its normal (not maximised) rectangle.
struct SWindowPlacement {
    RECT normal{};
    bool maximized = false;

    std::wstring Text() const;
    // Nothing for a text that is not five numbers with a rectangle of some size.
    static std::optional<SWindowPlacement> Parse(const std::wstring& text);
    static std::optional<SWindowPlacement> Load();
    void Save() const;
};
