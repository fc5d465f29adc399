#pragma once
#include <windows.h>

#include <string>

#include "win/Handles.h"
#include "win/SubclassedControl.h"

// Turns a dialog's static text into a web link: blue, red while the mouse is over it,
// purple once opened, with a hand cursor and a tooltip that shows the target.
// Only http and https targets are ever opened.
class CHyperLink : public win::SubclassedControl {
public:
    CHyperLink();
    ~CHyperLink() override;

    void SetURL(const std::wstring& url);
    std::wstring GetURL() const { return Url; }
    // -1: underlined only while the mouse is over the link; 0: never; 1: always.
    void SetUnderline(int mode);
    int GetUnderline() const { return UnderlineMode; }
    void SetAutoSize(bool adjust) { AdjustToFit = adjust; }
    bool IsHovering() const { return Hovering; }
    bool IsVisited() const { return Visited; }
    COLORREF TextColour() const;
    HWND GetTooltip() const { return Tooltip; }

    // Opens the address in the browser; the shell's result code (above 32 is success).
    virtual INT_PTR GotoURL(const std::wstring& url, int show);

    // True for an absolute http or https address that can stand on a command line as
    // one quoted argument.
    static bool IsWebAddress(const std::wstring& url);
    // The program part of a browser's registered open command, followed by the address
    // as one quoted argument.
    static std::wstring BrowserCommandLine(const std::wstring& openCommand, const std::wstring& url);
    // The text shown after "Unable to open hyperlink:" for a failed open.
    static std::wstring FailureReason(INT_PTR code);

    static const UINT_PTR HoverTimerId = 100;

protected:
    void OnSubclassed() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void FitToText();
    void LoadHandCursor();
    void CreateTooltip();
    void OnClicked();
    void OnTimer();

    COLORREF LinkColour = RGB(0, 0, 238);
    COLORREF VisitedColour = RGB(85, 26, 139);
    COLORREF HoverColour = RGB(255, 0, 0);
    bool Hovering = false;
    bool Visited = false;
    int UnderlineMode = -1;
    bool AdjustToFit = true;
    std::wstring Url;
    win::GdiObject<HFONT> UnderlinedFont;
    win::GdiObject<HFONT> NormalFont;
    HCURSOR HandCursor = nullptr;
    bool OwnsHandCursor = false;  // the system's shared hand cursor must not be destroyed
    HWND Tooltip = nullptr;
};
