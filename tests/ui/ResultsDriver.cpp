#include "tests/ui/ResultsDriver.h"

#include <gtest/gtest.h>

#include <atomic>

#include "res/resource.h"
#include "settings/SettingsFile.h"
#include "tests/TempFolder.h"
#include "tests/ui/UiDriver.h"
#include "win/ProcessExit.h"

namespace ui {

namespace {

const wchar_t kCaption[] = L"Kestrelsoft-双生搜寻V1.10-20121012";

void KeepProcess(int) {}

TempFolder& Dir() {
    static TempFolder* dir = nullptr;
    if (!dir) dir = new TempFolder;   // lives for the test program
    return *dir;
}

}  // namespace

MainWindowRun::MainWindowRun(const std::string& settings) {
    // A settings folder of its own for every window.
    static int n = 0;
    const std::wstring run = L"run" + std::to_wstring(++n);
    dir_ = Dir().MakeDir(run);
    if (!settings.empty()) Dir().Write(run + L"\\config\\Setting.ini", settings);
    SetProgramDirOverride(dir_ + L"\\");
    SetEndProcessHook(KeepProcess);
}

MainWindowRun::~MainWindowRun() {
    SetEndProcessHook(nullptr);
    SetProgramDirOverride(L"");
}

void MainWindowRun::Run(const std::function<void(HWND)>& steps, int timeoutMs) {
    RunModal([&] { dlg.DoModal(); },
             [&] {
                 HWND main = WaitForTopWindow(kCaption);
                 ASSERT_NE(nullptr, main);
                 steps(main);
                 if (IsWindow(main) && IsWindowVisible(main)) PostMessageW(main, WM_CLOSE, 0, 0);
             },
             timeoutMs);
}

std::vector<HTREEITEM> Roots(HWND tree) {
    std::vector<HTREEITEM> out;
    for (HTREEITEM r = TreeView_GetRoot(tree); r; r = TreeView_GetNextSibling(tree, r)) out.push_back(r);
    return out;
}

std::vector<HTREEITEM> Children(HWND tree, HTREEITEM item) {
    std::vector<HTREEITEM> out;
    for (HTREEITEM c = TreeView_GetChild(tree, item); c; c = TreeView_GetNextSibling(tree, c)) out.push_back(c);
    return out;
}

std::wstring Label(HWND tree, HTREEITEM item) { return CColumnTreeCtrl::ReadLabel(tree, item); }

std::vector<std::wstring> Pieces(HWND tree, HTREEITEM item) {
    std::vector<std::wstring> out;
    std::wstring label = Label(tree, item);
    for (int i = 0; i < 6; ++i) out.push_back(CColumnTreeCtrl::Piece(label, i));
    return out;
}

bool Checked(HWND tree, HTREEITEM item) { return TreeView_GetCheckState(tree, item) == 1; }

bool Expanded(HWND tree, HTREEITEM item) {
    return (TreeView_GetItemState(tree, item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
}

std::vector<std::wstring> AllRows(HWND tree) {
    std::vector<std::wstring> rows;
    for (HTREEITEM g : Roots(tree)) {
        rows.push_back(Label(tree, g) + (Expanded(tree, g) ? L"[+]" : L"[-]"));
        for (HTREEITEM f : Children(tree, g)) rows.push_back(L"  " + Label(tree, f));
    }
    return rows;
}

POINT LabelPoint(HWND tree, HTREEITEM item) {
    RECT r{};
    CColumnTreeCtrl::LabelRect(tree, item, r);
    return {r.left + 3, (r.top + r.bottom) / 2};
}

namespace {

// The first point left of the row's label where the tree reports `part`, moved `inset` pixels in.
POINT PartPoint(HWND tree, HTREEITEM item, UINT part, int inset, const char* name) {
    RECT r{};
    CColumnTreeCtrl::LabelRect(tree, item, r);
    const int y = (r.top + r.bottom) / 2;
    for (int x = 0; x < r.left; ++x) {
        TVHITTESTINFO ht{};
        ht.pt = {x, y};
        if (TreeView_HitTest(tree, &ht) == item && (ht.flags & part)) return {x + inset, y};
    }
    ADD_FAILURE() << "no " << name << " found";
    return {0, y};
}

}  // namespace

POINT CheckBoxPoint(HWND tree, HTREEITEM item) { return PartPoint(tree, item, TVHT_ONITEMSTATEICON, 3, "check box"); }

POINT ExpandButtonPoint(HWND tree, HTREEITEM item) {
    return PartPoint(tree, item, TVHT_ONITEMBUTTON, 2, "expand button");
}

POINT ColumnPoint(CColumnTreeCtrl& ctrl, HTREEITEM item, int column) {
    RECT r{};
    CColumnTreeCtrl::LabelRect(ctrl.GetTreeCtrl(), item, r);
    int x = 0;
    for (int i = 0; i < column; ++i) x += ctrl.GetColumnWidth(i);
    return {x + ctrl.GetColumnWidth(column) / 2, (r.top + r.bottom) / 2};
}

POINT ToScreen(HWND w, POINT p) {
    ClientToScreen(w, &p);
    return p;
}

RECT ChildRect(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Barrier(HWND main) {
    static std::atomic<int> mark{1000};
    HWND edit = GetDlgItem(main, IDC_STATUS);
    const int value = ++mark;
    PostMessageW(edit, EM_SETLIMITTEXT, value, 0);
    WaitUntil([&] { return SendMessageW(edit, EM_GETLIMITTEXT, 0, 0) == value; }, 5000);
}

// Moves the cursor and waits until the system reports it there: on a loaded machine
// the display server takes a while, and the row commands read the cursor.
static void PutCursor(POINT s) {
    SetCursorPos(s.x, s.y);
    WaitUntil([&] {
        POINT now{};
        if (GetCursorPos(&now) && now.x == s.x && now.y == s.y) return true;
        SetCursorPos(s.x, s.y);
        return false;
    }, 5000);
}

void Click(HWND main, HWND tree, POINT p) {
    POINT s = ToScreen(tree, p);
    PutCursor(s);
    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    Barrier(main);
}

void DoubleClick(HWND main, HWND tree, POINT p) {
    POINT s = ToScreen(tree, p);
    PutCursor(s);
    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    PostMessageW(tree, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    Barrier(main);
}

void RightClick(HWND tree, POINT p) {
    POINT s = ToScreen(tree, p);
    PutCursor(s);
    PostMessageW(tree, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageW(tree, WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
}

std::wstring ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return L"<closed>";
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* p = static_cast<const wchar_t*>(GlobalLock(h))) {
            text = p;
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return text;
}

void StartSearch(HWND main, const std::wstring& folder) {
    SetItemText(main, IDC_FOLDER, folder);
    PressButton(main, IDC_FIND);
    Barrier(main);
}

void StopSearch(HWND main, CTwinseekDlg& dlg) {
    if (dlg.FindFlags & FIND_RUNNING) PressButton(main, IDC_FIND);
    EXPECT_TRUE(WaitUntil([&] { return !dlg.FindThread.get(); }, 5000));
}

}  // namespace ui
