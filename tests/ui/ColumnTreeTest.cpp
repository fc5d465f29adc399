// The column tree on a window of its own, on the test thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "view/ColumnTreeCtrl.h"

namespace {

struct Notice {
    HWND from;
    UINT_PTR id;
    UINT code;
    WPARAM wp;
};
std::vector<Notice> g_notices;

LRESULT CALLBACK HostProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        g_notices.push_back({hdr->hwndFrom, hdr->idFrom, hdr->code, wp});
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

// The window's own visibility flag (the host window itself is not shown).
bool Shown(HWND h) { return (GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE) != 0; }

void Pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

class ColumnTree : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TwColumnTreeHost";
        RegisterClassW(&wc);
        // Not shown: destroying a shown top-level window costs seconds under Wine.
        host = CreateWindowExW(0, L"TwColumnTreeHost", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                               nullptr, nullptr, wc.hInstance, nullptr);
        placeholder = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 10, 10, 400, 200, host,
                                      reinterpret_cast<HMENU>(1052), wc.hInstance, nullptr);
        ASSERT_TRUE(ctrl.SubclassWindow(placeholder));
        tree = ctrl.GetTreeCtrl();
        g_notices.clear();
    }
    void TearDown() override {
        DestroyWindow(host);
        Pump();
    }
    void ThreeColumns() {
        ctrl.InsertColumn(0, L"A", HDF_LEFT, 100);
        ctrl.InsertColumn(1, L"B", HDF_CENTER, 150);
        ctrl.InsertColumn(2, L"C", HDF_RIGHT, 100);
    }
    HTREEITEM AddRow(const std::wstring& label, HTREEITEM parent = TVI_ROOT) {
        TVINSERTSTRUCTW is{};
        is.hParent = parent;
        is.hInsertAfter = TVI_LAST;
        is.item.mask = TVIF_TEXT;
        is.item.pszText = const_cast<wchar_t*>(label.c_str());
        return TreeView_InsertItem(tree, &is);
    }
    std::wstring Label(HTREEITEM item) { return CColumnTreeCtrl::ReadLabel(tree, item); }
    int HeaderWidth(int i) {
        HDITEMW hi{};
        hi.mask = HDI_WIDTH;
        Header_GetItem(ctrl.GetHeaderCtrl(), i, &hi);
        return hi.cxy;
    }
    bool SetHeaderWidth(int i, int w) {
        HDITEMW hi{};
        hi.mask = HDI_WIDTH;
        hi.cxy = w;
        return Header_SetItem(ctrl.GetHeaderCtrl(), i, &hi) != FALSE;
    }
    POINT Center(HWND w) {
        RECT r;
        GetWindowRect(w, &r);
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ScreenToClient(placeholder, &p);
        return p;
    }

    HWND host = nullptr, placeholder = nullptr, tree = nullptr;
    CColumnTreeCtrl ctrl;
};

TEST_F(ColumnTree, BuildsItsFourChildren) {
    EXPECT_EQ(2, GetDlgCtrlID(ctrl.GetTreeCtrl()));
    EXPECT_EQ(1, GetDlgCtrlID(ctrl.GetHeaderCtrl()));
    EXPECT_EQ(3, GetDlgCtrlID(ctrl.GetScrollBar()));
    EXPECT_EQ(4, GetDlgCtrlID(ctrl.GetFillerHeader()));
    EXPECT_GT(ctrl.GetHeaderHeight(), 0);
    // 9 with a library that reports version 6 or more, else 6 (Wine's reports 5.81).
    EXPECT_TRUE(ctrl.GetTextIndent() == 9 || ctrl.GetTextIndent() == 6);
    // A second Initialize changes nothing.
    ctrl.Initialize();
    EXPECT_EQ(tree, ctrl.GetTreeCtrl().GetHwnd());
}

TEST_F(ColumnTree, InsertColumnAcceptsOnlySixteenIndexes) {
    EXPECT_EQ(-1, ctrl.InsertColumn(-1, L"x"));
    EXPECT_EQ(-1, ctrl.InsertColumn(16, L"x"));
    EXPECT_EQ(0, ctrl.InsertColumn(0, L"x", HDF_LEFT, 80));
    EXPECT_EQ(1, ctrl.GetColumnCount());
    EXPECT_EQ(80, ctrl.GetColumnWidth(0));
}

TEST_F(ColumnTree, ItemTextsAreTabTerminatedPieces) {
    for (int i = 0; i < 6; ++i) ctrl.InsertColumn(i, L"h", HDF_LEFT, 50);
    HTREEITEM row = AddRow(L"7");
    ctrl.SetItemText(row, 3, L"x");
    EXPECT_EQ(L"7\t\t\tx\t\t\t", Label(row));
    EXPECT_EQ(L"7", ctrl.GetItemText(row, 0));
    EXPECT_EQ(L"x", ctrl.GetItemText(row, 3));
    EXPECT_EQ(L"", ctrl.GetItemText(row, 5));

    HTREEITEM short_row = AddRow(L"a\tb");
    EXPECT_EQ(L"b", ctrl.GetItemText(short_row, 1));
    EXPECT_EQ(L"", ctrl.GetItemText(short_row, 2));
    EXPECT_EQ(L"", ctrl.GetItemText(short_row, 9));
    // Pieces beyond the header's columns are dropped on the next write.
    HTREEITEM long_row = AddRow(L"0\t1\t2\t3\t4\t5\t6\t7\t");
    ctrl.SetItemText(long_row, 0, L"z");
    EXPECT_EQ(L"z\t1\t2\t3\t4\t5\t", Label(long_row));

    // A long text (longer than any first buffer) survives the round trip.
    std::wstring path(3000, L'p');
    ctrl.SetItemText(row, 2, path);
    EXPECT_EQ(path, ctrl.GetItemText(row, 2));
    EXPECT_EQ(L"x", ctrl.GetItemText(row, 3));
}

TEST_F(ColumnTree, GetChildCountCountsDirectChildren) {
    ThreeColumns();
    HTREEITEM group = AddRow(L"g\t");
    EXPECT_EQ(0, ctrl.GetChildCount(group));
    HTREEITEM first = AddRow(L"1\t", group);
    AddRow(L"2\t", group);
    AddRow(L"deep\t", first);
    EXPECT_EQ(2, ctrl.GetChildCount(group));
}

TEST_F(ColumnTree, HeaderRefusesTheChangeAfterEachUpdateAndNarrowFirstColumns) {
    ThreeColumns();
    // Right after the insertions the next change is refused once.
    EXPECT_FALSE(SetHeaderWidth(1, 120));
    EXPECT_EQ(150, HeaderWidth(1));
    EXPECT_TRUE(SetHeaderWidth(1, 120));
    EXPECT_EQ(120, ctrl.GetColumnWidth(1));
    // ...and again after that change.
    EXPECT_FALSE(SetHeaderWidth(0, 150));
    EXPECT_EQ(100, HeaderWidth(0));
    // Column 0 never goes below 100; other columns may.
    EXPECT_FALSE(SetHeaderWidth(0, 99));
    EXPECT_EQ(100, HeaderWidth(0));
    EXPECT_TRUE(SetHeaderWidth(0, 140));
    EXPECT_EQ(140, ctrl.GetColumnWidth(0));
    EXPECT_EQ(140, ctrl.GetTreeChild().firstColumnWidth);
    EXPECT_FALSE(SetHeaderWidth(2, 30));
    EXPECT_TRUE(SetHeaderWidth(2, 30));
    EXPECT_EQ(30, ctrl.GetColumnWidth(2));
    for (const Notice& n : g_notices) {
        EXPECT_NE(static_cast<UINT>(HDN_ITEMCHANGINGW), n.code);
        EXPECT_NE(static_cast<UINT>(HDN_ITEMCHANGEDW), n.code);
    }
}

TEST_F(ColumnTree, DraggingTheFirstDividerStopsAtTheMinimum) {
    ThreeColumns();
    HWND header = ctrl.GetHeaderCtrl();
    const int y = ctrl.GetHeaderHeight() / 2;
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, y));
    for (int x = 98; x >= 30; x -= 4) SendMessageW(header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(header, WM_LBUTTONUP, 0, MAKELPARAM(30, y));
    Pump();
    EXPECT_GE(HeaderWidth(0), 100);
    EXPECT_GE(ctrl.GetColumnWidth(0), 100);
}

TEST_F(ColumnTree, HitTestFindsTheColumnUnderThePoint) {
    ThreeColumns();   // 0..100, 100..250, 250..350
    HTREEITEM row = AddRow(L"7\tname\tpath\t");
    RECT label{};
    ASSERT_TRUE(CColumnTreeCtrl::LabelRect(tree, row, label));
    const int y = ctrl.GetHeaderHeight() + (label.top + label.bottom) / 2;

    ColumnTreeHitInfo hit;
    hit.pt = {label.left + 2, y};
    EXPECT_EQ(row, ctrl.HitTest(hit));
    EXPECT_EQ(0, hit.iSubItem);
    EXPECT_EQ(static_cast<UINT>(TVHT_ONITEMLABEL), hit.flags);

    hit.pt = {100, y};   // the shared border belongs to the left column
    EXPECT_EQ(row, ctrl.HitTest(hit));
    EXPECT_EQ(0, hit.iSubItem);
    hit.pt = {200, y};
    EXPECT_EQ(row, ctrl.HitTest(hit));
    EXPECT_EQ(1, hit.iSubItem);
    hit.pt = {300, y};
    EXPECT_EQ(row, ctrl.HitTest(hit));
    EXPECT_EQ(2, hit.iSubItem);
    EXPECT_EQ(row, hit.hItem);

    hit.pt = {380, y};   // right of the last column
    EXPECT_EQ(nullptr, ctrl.HitTest(hit));
    EXPECT_EQ(static_cast<UINT>(TVHT_NOWHERE), hit.flags);
    EXPECT_EQ(nullptr, hit.hItem);

    hit.pt = {200, ctrl.GetHeaderHeight() + 150};   // below the rows
    EXPECT_EQ(nullptr, ctrl.HitTest(hit));
}

TEST_F(ColumnTree, ScrollBarAppearsOnlyWhenTheColumnsDoNotFit) {
    ThreeColumns();   // 350 in 400
    EXPECT_FALSE(Shown(ctrl.GetScrollBar()));
    EXPECT_EQ(0, ctrl.GetScrollX());

    MoveWindow(placeholder, 10, 10, 300, 200, TRUE);
    EXPECT_TRUE(Shown(ctrl.GetScrollBar()));
    SendMessageW(placeholder, WM_HSCROLL, SB_LINERIGHT, reinterpret_cast<LPARAM>(ctrl.GetScrollBar().GetHwnd()));
    EXPECT_EQ(15, ctrl.GetScrollX());
    RECT r = ctrl.GetHeaderCtrl().GetWindowRect();
    POINT p{r.left, r.top};
    ScreenToClient(placeholder, &p);
    EXPECT_EQ(-15, p.x);   // header and tree move together, the tree never scrolls itself
    r = ctrl.GetTreeCtrl().GetWindowRect();
    p = {r.left, r.top};
    ScreenToClient(placeholder, &p);
    EXPECT_EQ(-15, p.x);

    // Hit-testing follows the scrolled view: client x 190 is tree x 205, column 1.
    HTREEITEM row = AddRow(L"7\tname\tpath\t");
    RECT label{};
    CColumnTreeCtrl::LabelRect(tree, row, label);
    ColumnTreeHitInfo hit;
    hit.pt = {240, ctrl.GetHeaderHeight() + (label.top + label.bottom) / 2};
    ctrl.HitTest(hit);
    EXPECT_EQ(2, hit.iSubItem);

    SendMessageW(placeholder, WM_HSCROLL, SB_RIGHT, reinterpret_cast<LPARAM>(ctrl.GetScrollBar().GetHwnd()));
    EXPECT_EQ(350 - 300, ctrl.GetScrollX());
    SendMessageW(placeholder, WM_HSCROLL, SB_PAGERIGHT, reinterpret_cast<LPARAM>(ctrl.GetScrollBar().GetHwnd()));
    EXPECT_EQ(50, ctrl.GetScrollX());
    SendMessageW(placeholder, WM_HSCROLL, SB_LEFT, reinterpret_cast<LPARAM>(ctrl.GetScrollBar().GetHwnd()));
    EXPECT_EQ(0, ctrl.GetScrollX());
    SendMessageW(placeholder, WM_HSCROLL, SB_RIGHT, reinterpret_cast<LPARAM>(ctrl.GetScrollBar().GetHwnd()));

    MoveWindow(placeholder, 10, 10, 500, 200, TRUE);
    EXPECT_FALSE(Shown(ctrl.GetScrollBar()));
    EXPECT_EQ(0, ctrl.GetScrollX());
}

TEST_F(ColumnTree, FillerHeaderCoversTheTreesVerticalScrollBar) {
    ThreeColumns();
    EXPECT_FALSE(Shown(ctrl.GetFillerHeader()));
    for (int i = 0; i < 40; ++i) AddRow(std::to_wstring(i) + L"\t");
    Pump();   // the tree's size change comes back as a posted relayout
    const int v = GetSystemMetrics(SM_CXVSCROLL);
    EXPECT_TRUE(Shown(ctrl.GetFillerHeader()));
    RECT header = ctrl.GetHeaderCtrl().GetWindowRect();
    EXPECT_EQ(400 - v, header.right - header.left);
    RECT filler = ctrl.GetFillerHeader().GetWindowRect();
    POINT p{filler.left, filler.top};
    ScreenToClient(placeholder, &p);
    EXPECT_EQ(400 - v, p.x);
    TreeView_DeleteAllItems(tree);
    Pump();
    EXPECT_FALSE(Shown(ctrl.GetFillerHeader()));
}

TEST_F(ColumnTree, ChildNotificationsReachTheOwnerAsIfFromTheControl) {
    ThreeColumns();
    HTREEITEM row = AddRow(L"7\t");
    g_notices.clear();
    TreeView_DeleteItem(tree, row);
    ASSERT_FALSE(g_notices.empty());
    const Notice& n = g_notices.back();
    EXPECT_EQ(static_cast<UINT>(TVN_DELETEITEMW), n.code);
    EXPECT_EQ(placeholder, n.from);
    EXPECT_EQ(1052u, n.id);
    EXPECT_EQ(2u, n.wp);   // the child's own id stays in wParam
}

class Observer : public IColumnTreeObserver {
public:
    void OnRowTextChanged(HTREEITEM row, int column, const std::wstring& text) override {
        changes.push_back({row, column, text});
    }
    void OnRowDeleted(HTREEITEM row) override { deleted.push_back(row); }
    struct Change {
        HTREEITEM row;
        int column;
        std::wstring text;
    };
    std::vector<Change> changes;
    std::vector<HTREEITEM> deleted;
};

TEST_F(ColumnTree, ObserverHearsTextChangesAndEveryDeletedRow) {
    ThreeColumns();
    Observer o;
    ctrl.SetObserver(&o);
    HTREEITEM group = AddRow(L"g\t");
    HTREEITEM child = AddRow(L"1\t", group);
    ctrl.SetItemText(group, 1, L"name");
    ASSERT_EQ(1u, o.changes.size());
    EXPECT_EQ(group, o.changes[0].row);
    EXPECT_EQ(1, o.changes[0].column);
    EXPECT_EQ(L"name", o.changes[0].text);
    TreeView_DeleteAllItems(tree);
    EXPECT_EQ(2u, o.deleted.size());
    EXPECT_NE(o.deleted.end(), std::find(o.deleted.begin(), o.deleted.end(), child));
    ctrl.SetObserver(nullptr);
}

TEST_F(ColumnTree, ClicksOutsideTheFirstColumnTextOnlyFocusTheTree) {
    ThreeColumns();
    HTREEITEM row = AddRow(L"7\tname\tpath\t");
    AddRow(L"8\tother\t");
    RECT label{};
    CColumnTreeCtrl::LabelRect(tree, row, label);
    const int y = (label.top + label.bottom) / 2;
    CCustomTreeChildCtrl& child = ctrl.GetTreeChild();
    EXPECT_TRUE(child.CheckHit({label.left + 2, y}));
    EXPECT_FALSE(child.CheckHit({label.left + 40, y}));   // past "7" + 6, still column 0
    EXPECT_FALSE(child.CheckHit({200, y}));
    EXPECT_FALSE(child.CheckHit({200, y + 200}));

    // A real click right of the text selects nothing.
    HTREEITEM other = TreeView_GetNextSibling(tree, row);
    TreeView_SelectItem(tree, other);
    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, y));
    PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(200, y));
    Pump();
    EXPECT_EQ(other, TreeView_GetSelection(tree));
    EXPECT_EQ(tree, GetFocus());

    // In full-row mode the whole row takes clicks.
    ctrl.GetTreeCtrl().ModifyStyle(0, TVS_FULLROWSELECT);
    EXPECT_TRUE(child.CheckHit({200, y}));
    PostMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, y));
    PostMessageW(tree, WM_LBUTTONUP, 0, MAKELPARAM(200, y));
    Pump();
    EXPECT_EQ(row, TreeView_GetSelection(tree));
}

}  // namespace
