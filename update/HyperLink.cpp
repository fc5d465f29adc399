#include "update/HyperLink.h"

#include <commctrl.h>

#include "win/CodePage.h"
#include "win/Format.h"
#include "win/MessageBox.h"
#include "win/Shell.h"

namespace {

const UINT_PTR kToolId = 1;

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    size_t n = wcslen(prefix);
    return text.size() >= n && CompareStringOrdinal(text.c_str(), static_cast<int>(n), prefix, static_cast<int>(n),
                                                    TRUE) == CSTR_EQUAL;
}

// The default value of a key under HKEY_CLASSES_ROOT; false when it cannot be read
// whole into a buffer of MAX_PATH characters.
bool ReadClassesRootDefault(const std::wstring& subKey, std::wstring& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD bytes = MAX_PATH * sizeof(wchar_t);
    DWORD type = 0;
    LONG status = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &bytes);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    value.assign(buffer, bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    return true;
}

}  // namespace

CHyperLink::CHyperLink() = default;

CHyperLink::~CHyperLink() {
    if (OwnsHandCursor && HandCursor) DestroyCursor(HandCursor);
}

COLORREF CHyperLink::TextColour() const {
    if (Hovering) return HoverColour;
    return Visited ? VisitedColour : LinkColour;
}

bool CHyperLink::IsWebAddress(const std::wstring& url) {
    size_t host;
    if (StartsWithNoCase(url, L"http://"))
        host = 7;
    else if (StartsWithNoCase(url, L"https://"))
        host = 8;
    else
        return false;
    if (url.size() <= host || url[host] == L'/' || url[host] == L'\\') return false;
    // Printable ASCII only: a full-width quote or a Unicode space would turn into a
    // plain one on the way to an ANSI command line.
    for (wchar_t c : url)
        if (c <= L' ' || c > L'~' || c == L'"' || c == L'\'') return false;
    return true;
}

std::wstring CHyperLink::BrowserCommandLine(const std::wstring& openCommand, const std::wstring& url) {
    std::wstring program = openCommand;
    size_t quoted = program.find(L"\"%1\"");
    if (quoted != std::wstring::npos) {
        program.erase(quoted);
    } else {
        size_t bare = program.find(L"%1");
        if (bare != std::wstring::npos) program.erase(bare);
    }
    // Quoted, so the address stays one argument whatever the registered command looks like.
    return program + L" \"" + url + L"\"";
}

std::wstring CHyperLink::FailureReason(INT_PTR code) {
    switch (code) {
    case 0: return L"The operating system is out\nof memory or resources.";
    case SE_ERR_FNF: return L"The specified file was not found.";
    case SE_ERR_PNF: return L"The specified path was not found.";
    case SE_ERR_ACCESSDENIED: return L"The operating system denied\naccess to the specified file.";
    case SE_ERR_OOM: return L"There was not enough memory to complete the operation.";
    case ERROR_BAD_FORMAT: return L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE: return L"A sharing violation occurred. ";
    case SE_ERR_ASSOCINCOMPLETE: return L"The filename association is\nincomplete or invalid.";
    case SE_ERR_DDETIMEOUT: return L"The DDE transaction could not\nbe completed because the request timed out.";
    case SE_ERR_DDEFAIL: return L"The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
        return L"The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case SE_ERR_NOASSOC: return L"There is no application associated\nwith the given filename extension.";
    case SE_ERR_DLLNOTFOUND: return L"The specified dynamic-link library was not found.";
    default: return win::Format(L"Unknown Error (%d) occurred.", static_cast<int>(code));
    }
}

INT_PTR CHyperLink::GotoURL(const std::wstring& url, int show) {
    // The address may come from the network: never hand anything but a web address to
    // the shell, which would just as well start a local program.
    if (!IsWebAddress(url)) return SE_ERR_ACCESSDENIED;

    INT_PTR result = win::ShellOpen(nullptr, url, show);
    if (result > 32) return result;

    std::wstring fileType;
    if (!ReadClassesRootDefault(L".htm", fileType)) return result;
    std::wstring command;
    if (!ReadClassesRootDefault(fileType + L"\\shell\\open\\command", command)) return result;
    std::string line = win::ToMultiByte(BrowserCommandLine(command, url), CP_ACP);
    return static_cast<INT_PTR>(WinExec(line.c_str(), static_cast<UINT>(show)));
}

void CHyperLink::SetURL(const std::wstring& url) {
    Url = url;
    if (!IsWindow()) return;
    FitToText();
    if (Tooltip) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = hwnd_;
        tool.uId = kToolId;
        tool.lpszText = const_cast<wchar_t*>(Url.c_str());
        SendMessageW(Tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void CHyperLink::SetUnderline(int mode) {
    if (mode != UnderlineMode && IsWindow()) {
        SetFont(mode == 1 ? UnderlinedFont.get() : NormalFont.get());
        Invalidate();
    }
    UnderlineMode = mode;
}

void CHyperLink::OnSubclassed() {
    ModifyStyle(0, SS_NOTIFY);

    if (Url.empty()) Url = GetText();
    if (GetText().empty()) SetText(Url);

    HFONT font = GetFont();
    if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!font) font = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    LOGFONTW description{};
    GetObjectW(font, sizeof description, &description);
    NormalFont.reset(CreateFontIndirectW(&description));
    description.lfUnderline = TRUE;
    UnderlinedFont.reset(CreateFontIndirectW(&description));

    FitToText();
    LoadHandCursor();
    SetFont(UnderlineMode == 1 ? UnderlinedFont.get() : NormalFont.get());
    CreateTooltip();
}

void CHyperLink::FitToText() {
    if (!AdjustToFit || !IsWindow()) return;
    std::wstring text = GetText();
    SIZE extent{};
    {
        win::WindowDC dc(hwnd_);
        win::SelectObjectScope select(dc.get(), UnderlinedFont.get());
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    RECT window = GetWindowRect();
    RECT client = GetClientRect();
    int width = extent.cx + (window.right - window.left) - (client.right - client.left);
    int height = extent.cy + (window.bottom - window.top) - (client.bottom - client.top);

    RECT r = window;
    MapWindowPoints(nullptr, GetParent(), reinterpret_cast<POINT*>(&r), 2);
    LONG_PTR style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        r.top += ((r.bottom - r.top) - height) / 2;
        r.bottom = r.top + height;
    } else {
        r.bottom = r.top + height;
    }
    switch (style & SS_TYPEMASK) {
    case SS_CENTER:
        r.left += ((r.right - r.left) - width) / 2;
        r.right = r.left + width;
        break;
    case SS_RIGHT:
        r.left = r.right - width;
        break;
    default:
        r.right = r.left + width;
        break;
    }
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHyperLink::LoadHandCursor() {
    if (HandCursor) return;
    wchar_t windows[MAX_PATH] = {};
    UINT n = GetWindowsDirectoryW(windows, MAX_PATH);
    if (n > 0 && n < MAX_PATH) {
        std::wstring helper = std::wstring(windows) + L"\\winhlp32.exe";
        // Only its resources are needed: map it as data, so none of its code is loaded.
        win::LibraryHandle module(helper.c_str(), LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (module) {
            if (HCURSOR cursor = LoadCursorW(module.get(), MAKEINTRESOURCEW(106))) {
                HandCursor = CopyCursor(cursor);
                OwnsHandCursor = HandCursor != nullptr;
            }
        }
    }
    if (!HandCursor) HandCursor = LoadCursorW(nullptr, IDC_HAND);
}

void CHyperLink::CreateTooltip() {
    Tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (!Tooltip) return;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    // The tooltip watches the control's mouse messages itself.
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = hwnd_;
    tool.uId = kToolId;
    tool.rect = GetClientRect();
    tool.lpszText = const_cast<wchar_t*>(Url.c_str());
    SendMessageW(Tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool CHyperLink::OnReflect(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_CTLCOLORSTATIC) {
        HDC dc = reinterpret_cast<HDC>(wp);
        SetTextColor(dc, TextColour());
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return true;
    }
    if (msg == WM_COMMAND && HIWORD(wp) == STN_CLICKED) {
        OnClicked();
        result = 0;
        return true;
    }
    return false;
}

void CHyperLink::OnClicked() {
    Hovering = false;
    INT_PTR result = GotoURL(Url, SW_SHOW);
    if (result > 32) {
        Visited = true;
        Invalidate();
        return;
    }
    MessageBeep(MB_ICONEXCLAMATION);
    win::AppMessageBox(L"Unable to open hyperlink:\n\n" + FailureReason(result), MB_ICONEXCLAMATION | MB_OK);
}

void CHyperLink::OnTimer() {
    DWORD pos = GetMessagePos();
    POINT p{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ScreenToClient(hwnd_, &p);
    RECT client = GetClientRect();
    if (PtInRect(&client, p)) return;
    Hovering = false;
    KillTimer(hwnd_, HoverTimerId);
    if (UnderlineMode != 1) SetFont(NormalFont.get());
    client.bottom += 10;
    InvalidateRect(hwnd_, &client, TRUE);
}

LRESULT CHyperLink::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT client = GetClientRect();
        FillRect(reinterpret_cast<HDC>(wp), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_MOUSEMOVE:
        if (!Hovering) {
            Hovering = true;
            if (UnderlineMode == -1) SetFont(UnderlinedFont.get());
            Invalidate();
            SetTimer(hwnd_, HoverTimerId, 100, nullptr);
        }
        break;
    case WM_TIMER:
        if (wp == HoverTimerId) OnTimer();
        break;
    case WM_SETCURSOR:
        if (HandCursor) {
            ::SetCursor(HandCursor);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        KillTimer(hwnd_, HoverTimerId);
        if (Tooltip) {
            DestroyWindow(Tooltip);
            Tooltip = nullptr;
        }
        break;
    default:
        break;
    }
    return Default(msg, wp, lp);
}
