// The code-page tests elsewhere assume a simplified-Chinese system; fail loudly here
// when the zh_CN.UTF-8 locale is missing and Wine falls back to 1252/437.
#include <windows.h>

#include <gtest/gtest.h>

TEST(WineEnv, AnsiAndOemCodePagesAre936)
{
    EXPECT_EQ(GetACP(), 936u);
    EXPECT_EQ(GetOEMCP(), 936u);
}

// Without the symbol font the caption buttons show the letters "0 1 r" and every
// screenshot of the window with them.
TEST(WineEnv, CaptionSymbolFontIsThere)
{
    HDC dc = CreateCompatibleDC(nullptr);
    LOGFONTW lf = {};
    lf.lfHeight = -12;
    lf.lfCharSet = SYMBOL_CHARSET;
    lstrcpyW(lf.lfFaceName, L"Marlett");
    HFONT font = CreateFontIndirectW(&lf);
    HGDIOBJ old = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, old);
    DeleteObject(font);
    DeleteDC(dc);
    EXPECT_STREQ(face, L"Marlett");
}
