#include "update/HyperLink.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <functional>

#include "res/resource.h"
#include "tests/ui/UiDriver.h"
#include "win/Dialog.h"

namespace {

// The update notice's template hosts the link: its static 1941 reads "点击下载".
class LinkHostDlg : public win::Dialog {
public:
    explicit LinkHostDlg(CHyperLink& link) : win::Dialog(IDD_UPDATE_INFO), Link(link) {}
    bool ClearText = false;
    std::wstring UrlBeforeAttach;
    std::wstring UrlAfterAttach;
    int Underline = -1;

protected:
    BOOL OnInitDialog() override {
        if (ClearText) SetDlgItemTextW(hwnd_, IDC_UPD_LINK, L"");
        if (!UrlBeforeAttach.empty()) Link.SetURL(UrlBeforeAttach);
        win::Dialog::OnInitDialog();
        if (!UrlAfterAttach.empty()) Link.SetURL(UrlAfterAttach);
        Link.SetUnderline(Underline);
        return TRUE;
    }
    void DoDataExchange(win::DataExchange& dx) override { dx.Control(IDC_UPD_LINK, Link); }

private:
    CHyperLink& Link;
};

// A link whose open fails or succeeds on request, so no browser is needed.
class ScriptedLink : public CHyperLink {
public:
    std::atomic<INT_PTR> Result{SE_ERR_NOASSOC};
    std::atomic<int> Calls{0};
    INT_PTR GotoURL(const std::wstring&, int) override {
        ++Calls;
        return Result;
    }
};

struct LinkView {
    std::wstring Text;
    bool Underlined;
    COLORREF Colour;
};

// What the link looks like, read through the messages it paints with.
LinkView Look(HWND dialog) {
    HWND link = GetDlgItem(dialog, IDC_UPD_LINK);
    LinkView view{ui::Text(link), false, 0};
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)), sizeof font, &font);
    view.Underlined = font.lfUnderline != 0;
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link));
    view.Colour = GetTextColor(dc);
    DeleteDC(dc);
    return view;
}

void Hover(HWND dialog) {
    SendMessageW(GetDlgItem(dialog, IDC_UPD_LINK), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
}

// Shows the host, runs `steps` on its dialog from a driver thread, then closes it.
void RunHost(LinkHostDlg& dlg, const std::function<void(HWND)>& steps) {
    ui::RunModal([&] { dlg.DoModal(); },
                 [&] {
                     HWND d = ui::WaitForTopWindow(L"软件升级通知");
                     ASSERT_TRUE(d);
                     steps(d);
                     PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
                 });
}

const COLORREF kLink = RGB(0, 0, 238);
const COLORREF kVisited = RGB(85, 26, 139);
const COLORREF kHover = RGB(255, 0, 0);

}  // namespace

TEST(HyperLink, ResourceTextIsKeptAndTheTooltipShowsTheUrl) {
    CHyperLink link;
    LinkHostDlg dlg(link);
    dlg.UrlAfterAttach = L"https://download.test/twinseek.zip";
    RunHost(dlg, [&](HWND d) {
        HWND h = GetDlgItem(d, IDC_UPD_LINK);
        EXPECT_EQ(Look(d).Text, L"点击下载");
        EXPECT_TRUE(GetWindowLongPtrW(h, GWL_STYLE) & SS_NOTIFY);
        EXPECT_EQ(ui::TooltipText(link.GetTooltip(), h), L"https://download.test/twinseek.zip");
        // Fitted to its text: about four characters wide, not the template's 80 units.
        RECT r;
        GetClientRect(h, &r);
        EXPECT_LT(r.right, 80);
        EXPECT_GT(r.right, 20);
    });
}

TEST(HyperLink, EmptyTextShowsTheUrl) {
    CHyperLink link;
    LinkHostDlg dlg(link);
    dlg.ClearText = true;
    dlg.UrlBeforeAttach = L"https://download.test/a.zip";
    RunHost(dlg, [&](HWND d) { EXPECT_EQ(Look(d).Text, L"https://download.test/a.zip"); });
}

TEST(HyperLink, UnderlineModes) {
    for (int mode : {-1, 0, 1}) {
        CHyperLink link;
        LinkHostDlg dlg(link);
        dlg.Underline = mode;
        RunHost(dlg, [&](HWND d) {
            SetCursorPos(0, 0);  // keeps the hover timer from ending the hover early
            EXPECT_EQ(Look(d).Underlined, mode == 1) << "mode " << mode;
            Hover(d);
            LinkView hovered = Look(d);
            EXPECT_EQ(hovered.Underlined, mode != 0) << "mode " << mode;
        });
    }
}

TEST(HyperLink, ColourComesBackSoonAfterTheMouseLeaves) {
    CHyperLink link;
    LinkHostDlg dlg(link);
    RunHost(dlg, [&](HWND d) {
        SetCursorPos(0, 0);  // well outside the centred dialog
        EXPECT_EQ(Look(d).Colour, kLink);
        Hover(d);
        EXPECT_EQ(Look(d).Colour, kHover);
        EXPECT_TRUE(Look(d).Underlined);
        // The hover timer's next tick puts it back; a loaded machine may take a while.
        EXPECT_TRUE(ui::WaitUntil([&] { return Look(d).Colour == kLink; }, 10000));
        EXPECT_FALSE(Look(d).Underlined);
    });
}

TEST(HyperLink, AFailedOpenExplainsWhyAndASuccessfulOneMarksTheLinkVisited) {
    ScriptedLink link;
    LinkHostDlg dlg(link);
    dlg.UrlAfterAttach = L"https://download.test/a.zip";
    RunHost(dlg, [&](HWND d) {
        HWND h = GetDlgItem(d, IDC_UPD_LINK);
        PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        PostMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        HWND box = ui::WaitForMessageBox(
            L"Unable to open hyperlink:\n\nThere is no application associated\n"
            L"with the given filename extension.");
        ASSERT_TRUE(box);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(ui::WaitForClose(box));
        EXPECT_EQ(link.Calls, 1);
        SetCursorPos(0, 0);
        ui::WaitUntil([&] { return Look(d).Colour != kHover; }, 2000);
        EXPECT_EQ(Look(d).Colour, kLink);  // not visited

        link.Result = 42;
        PostMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_UPD_LINK, STN_CLICKED), reinterpret_cast<LPARAM>(h));
        EXPECT_TRUE(ui::WaitUntil([&] { return Look(d).Colour == kVisited; }, 2000));
        EXPECT_EQ(link.Calls, 2);
    });
}

TEST(HyperLinkAddress, OnlyWebAddressesAreOpened) {
    EXPECT_TRUE(CHyperLink::IsWebAddress(L"https://download.test/twinseek.zip"));
    EXPECT_TRUE(CHyperLink::IsWebAddress(L"HTTP://download.test/?a=1&b=%20"));
    for (const wchar_t* bad : {L"file:///C:/windows/notepad.exe", L"C:\\windows\\notepad.exe",
                               L"\\\\server\\share\\setup.exe", L"ftp://download.test/x", L"点击下载", L"http://",
                               L"https:///etc/passwd", L"http://a.test/\" & calc.exe", L"http://a.test/ -x",
                               L"javascript:alert(1)", L"",
                               // What a best-fit conversion to the ANSI code page turns
                               // into a quote or a space on the browser's command line.
                               L"http://a.test/\xFF02 & calc.exe", L"http://a.test/\x3000-x", L"http://a.test/\x00A0-x",
                               L"http://a.test/\x2019x", L"http://a.test/'x", L"http://a.test/\x7F", L"http://下载.test/"})
        EXPECT_FALSE(CHyperLink::IsWebAddress(bad)) << std::string(bad, bad + wcslen(bad));

    // Refused before the shell sees it: a missing local program would give 2 from the shell.
    CHyperLink link;
    EXPECT_EQ(link.GotoURL(L"C:\\no\\such\\program.exe", SW_SHOW), SE_ERR_ACCESSDENIED);
}

TEST(HyperLinkAddress, BrowserCommandLineQuotesTheAddress) {
    const std::wstring url = L"https://a.test/x";
    EXPECT_EQ(CHyperLink::BrowserCommandLine(L"\"C:\\b\\browser.exe\" -osint \"%1\"", url),
              L"\"C:\\b\\browser.exe\" -osint  \"https://a.test/x\"");
    EXPECT_EQ(CHyperLink::BrowserCommandLine(L"C:\\b\\browser.exe %1", url), L"C:\\b\\browser.exe  \"https://a.test/x\"");
    EXPECT_EQ(CHyperLink::BrowserCommandLine(L"C:\\b\\browser.exe", url), L"C:\\b\\browser.exe \"https://a.test/x\"");
}

TEST(HyperLinkAddress, FailureReasons) {
    EXPECT_EQ(CHyperLink::FailureReason(31),
              L"There is no application associated\nwith the given filename extension.");
    EXPECT_EQ(CHyperLink::FailureReason(0), L"The operating system is out\nof memory or resources.");
    EXPECT_EQ(CHyperLink::FailureReason(26), L"A sharing violation occurred. ");
    EXPECT_EQ(CHyperLink::FailureReason(7), L"Unknown Error (7) occurred.");
}
