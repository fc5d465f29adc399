#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "tests/TempFolder.h"
#include "tests/ui/UiDriver.h"
#include "win/DirDialog.h"

namespace {

// The browser once its tree shows a selection; with a leaf name, once the caret is on
// it (the tree first selects the desktop and applies the initial folder afterwards).
HWND WaitForBrowser(const std::wstring& leaf = L"") {
    HWND browser = ui::WaitForTopWindow(L"", L"#32770", 10000);
    if (!browser) return nullptr;
    ui::WaitUntil([&] {
        HWND tree = ui::PickerTree(browser);
        if (!tree || SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0) == 0) return false;
        return leaf.empty() || lstrcmpiW(ui::CaretText(tree).c_str(), leaf.c_str()) == 0;
    }, 60000);  // a loaded machine takes many seconds to fill the tree
    return browser;
}

bool HasStaticText(HWND dialog, const std::wstring& text) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[32] = {};
        GetClassNameW(child, cls, 32);
        if (lstrcmpiW(cls, L"Static") == 0 && ui::Text(child) == text) return true;
    }
    return false;
}

class RefusingDirDialog : public CDirDialog {
public:
    bool SelChanged(const std::wstring& path, std::wstring&) override {
        lastPath = path;
        return false;
    }
    std::wstring lastPath;
};

}  // namespace

TEST(DirDialog, OkGivesBackTheInitialFolderWithoutTrailingSeparator) {
    TempFolder dir;
    for (bool newStyle : {false, true}) {
        CDirDialog picker(newStyle);
        picker.Title = L"请选择一个文件夹";
        picker.InitialFolder = dir.Path() + L"\\  ";
        bool chosen = false;
        bool sawTitle = false;
        ui::RunModal([&] { chosen = picker.DoBrowse(); },
                     [&] {
                         HWND browser = WaitForBrowser(dir.Path().substr(dir.Path().rfind(L'\\') + 1));
                         if (!browser) return;
                         sawTitle = HasStaticText(browser, L"请选择一个文件夹");
                         ui::PressButton(browser, IDOK);
                     });
        EXPECT_EQ(picker.InitialFolder, dir.Path());
        EXPECT_TRUE(chosen) << "new style " << newStyle;
        EXPECT_TRUE(ui::SamePath(picker.SelectedPath, dir.Path())) << picker.SelectedPath;
        EXPECT_TRUE(sawTitle || newStyle);
    }
}

TEST(DirDialog, CancelGivesFalse) {
    CDirDialog picker(false);
    picker.InitialFolder = L"C:\\";
    bool chosen = true;
    ui::RunModal([&] { chosen = picker.DoBrowse(); },
                 [&] {
                     if (HWND browser = WaitForBrowser()) ui::PressButton(browser, IDCANCEL);
                 });
    EXPECT_FALSE(chosen);
    EXPECT_EQ(picker.InitialFolder, L"C:\\");   // a drive root keeps its backslash
}

// The OK state itself is not checked: this browser re-validates OK after the
// callback, so only the call of SelChanged with the new selection is observable.
TEST(DirDialog, EmptyTitleShowsOpenAndSelectionsReachSelChanged) {
    TempFolder dir;
    RefusingDirDialog picker;
    picker.InitialFolder = dir.Path() + L"/";
    bool sawOpen = false;
    bool chosen = true;
    ui::RunModal([&] { chosen = picker.DoBrowse(); },
                 [&] {
                     // Cancelled only once the initial folder is selected, so its
                     // selection has reached SelChanged.
                     HWND browser = WaitForBrowser(dir.Path().substr(dir.Path().rfind(L'\\') + 1));
                     if (!browser) return;
                     sawOpen = HasStaticText(browser, L"Open");
                     ui::PressButton(browser, IDCANCEL);
                 });
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(sawOpen);
    EXPECT_TRUE(ui::SamePath(picker.lastPath, dir.Path())) << picker.lastPath;
}
