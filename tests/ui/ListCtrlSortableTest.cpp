#include "view/ListCtrl_SortItemsEx.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/ui/UiDriver.h"
#include "win/Dialog.h"

namespace {

// Hosts the list on the settings dialog's template (its list view 1021) and runs
// `init` on the window thread once it is attached.
class ListHostDlg : public win::Dialog {
public:
    ListHostDlg() : win::Dialog(IDD_FIND_SETTING) {}
    CListCtrl_SortItemsEx List;
    std::function<void(CListCtrl_SortItemsEx&)> Init;
    std::vector<UINT> ParentNotifications;

    TW_DECLARE_MSG_TABLE();

protected:
    BOOL OnInitDialog() override {
        win::Dialog::OnInitDialog();
        if (Init) Init(List);
        return TRUE;
    }
    void DoDataExchange(win::DataExchange& dx) override { dx.Control(IDC_SET_EXT_LIST, List); }

private:
    LRESULT OnColumnClick(NMHDR* hdr) {
        ParentNotifications.push_back(hdr->code);
        return 0;
    }
};

TW_BEGIN_MSG_TABLE(ListHostDlg, win::Dialog)
    TW_ON_NOTIFY(LVN_COLUMNCLICK, IDC_SET_EXT_LIST, OnColumnClick)  // LRESULT (NMHDR*)
TW_END_MSG_TABLE()

// Runs the host dialog; `steps` gets the dialog and the list window on a driver thread.
void RunHost(ListHostDlg& dlg, const std::function<void(HWND, HWND)>& steps) {
    ui::RunModal([&] { dlg.DoModal(); },
                 [&] {
                     HWND box = ui::WaitForTopWindow(L"查找设置");
                     ASSERT_NE(nullptr, box);
                     steps(box, GetDlgItem(box, IDC_SET_EXT_LIST));
                     PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
                 });
}

std::vector<LPARAM> Params(HWND list) {
    std::vector<LPARAM> params;
    for (int i = 0, n = ListView_GetItemCount(list); i < n; ++i) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        ListView_GetItem(list, &item);
        params.push_back(item.lParam);
    }
    return params;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

HDITEMW HeaderItem(HWND list, int column) {
    HDITEMW item{};
    item.mask = HDI_FORMAT | HDI_BITMAP | HDI_WIDTH | HDI_TEXT;
    static wchar_t text[64];
    item.pszText = text;
    item.cchTextMax = 64;
    Header_GetItem(ListView_GetHeader(list), column, &item);
    return item;
}

TEST(ListCtrlSortable, AttachesWithItsStylesAndBuildsColumnsAndRows) {
    ListHostDlg dlg;
    bool columnsOk = false, emptyOk = false;
    int rowA = -1, rowB = -1;
    dlg.Init = [&](CListCtrl_SortItemsEx& list) {
        emptyOk = list.SetColumns(L"");
        columnsOk = list.SetColumns(L"序号, 90; 文件扩展名, 150");
        rowA = list.InsertRow({L"01", L"mp3"});
        rowB = list.InsertRow({L"02"});
    };
    RunHost(dlg, [&](HWND, HWND list) {
        DWORD ex = ListView_GetExtendedListViewStyle(list);
        const DWORD wanted = LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP;
        EXPECT_EQ(wanted, ex & wanted);
        EXPECT_TRUE(emptyOk);
        EXPECT_TRUE(columnsOk);
        EXPECT_EQ(2, dlg.List.columnCount);
        EXPECT_EQ(2, Header_GetItemCount(ListView_GetHeader(list)));
        HDITEMW first = HeaderItem(list, 0);
        EXPECT_STREQ(L"序号", first.pszText);
        EXPECT_EQ(90, first.cxy);
        HDITEMW second = HeaderItem(list, 1);
        // The blank after the semicolon belongs to the name.
        EXPECT_STREQ(L" 文件扩展名", second.pszText);
        EXPECT_EQ(150, second.cxy);
        EXPECT_EQ(LVCFMT_LEFT, second.fmt & HDF_JUSTIFYMASK);
        EXPECT_EQ(0, rowA);
        EXPECT_EQ(1, rowB);
        EXPECT_EQ((std::vector<std::wstring>{L"01", L"02"}), ui::ListColumn(list, 0));
        EXPECT_EQ((std::vector<std::wstring>{L"mp3", L""}), ui::ListColumn(list, 1));
        EXPECT_EQ(-1, dlg.List.sortColumn);
        EXPECT_FALSE(dlg.List.sortAscending);
    });
}

TEST(ListCtrlSortable, ColumnSpecsAreReadLeniently) {
    ListHostDlg dlg;
    bool ok = false;
    dlg.Init = [&](CListCtrl_SortItemsEx& list) {
        // No semicolon at the end; a width that is no number is 0; a name without
        // a comma is not a column.
        ok = list.SetColumns(L"a,  40;b, x;c,25;tail");
    };
    RunHost(dlg, [&](HWND, HWND list) {
        EXPECT_TRUE(ok);
        ASSERT_EQ(3, dlg.List.columnCount);
        EXPECT_STREQ(L"a", HeaderItem(list, 0).pszText);
        EXPECT_EQ(40, HeaderItem(list, 0).cxy);
        EXPECT_STREQ(L"b", HeaderItem(list, 1).pszText);
        EXPECT_EQ(0, HeaderItem(list, 1).cxy);
        EXPECT_STREQ(L"c", HeaderItem(list, 2).pszText);
        EXPECT_EQ(25, HeaderItem(list, 2).cxy);
    });
}

TEST(ListCtrlSortable, HeaderClicksSortAndFlipTheOrder) {
    ListHostDlg dlg;
    dlg.Init = [](CListCtrl_SortItemsEx& list) {
        list.SetColumns(L"序号, 90; 文件扩展名, 150");
        list.InsertRow({L"02", L"mp3"});
        list.InsertRow({L"10", L"MP3"});
        list.InsertRow({L"01", L"avi"});
        list.InsertRow({L"9", L"Avi"});
        // Item data of the rows' own, which sorting must carry along.
        for (int row = 0; row < 4; ++row) {
            LVITEMW item{};
            item.mask = LVIF_PARAM;
            item.iItem = row;
            item.lParam = 100 + row;
            ListView_SetItem(list.GetHwnd(), &item);
        }
    };
    RunHost(dlg, [&](HWND box, HWND list) {
        using Texts = std::vector<std::wstring>;
        ui::ClickHeader(list, 0);
        EXPECT_EQ(0, dlg.List.sortColumn);
        EXPECT_TRUE(dlg.List.sortAscending);
        // Text order: "10" before "9".
        EXPECT_EQ((Texts{L"01", L"02", L"10", L"9"}), ui::ListColumn(list, 0));
        // Rows move whole.
        EXPECT_EQ((Texts{L"avi", L"mp3", L"MP3", L"Avi"}), ui::ListColumn(list, 1));
        EXPECT_EQ((std::vector<LPARAM>{102, 100, 101, 103}), Params(list));
        EXPECT_EQ(list, FocusOf(box));

        ui::ClickHeader(list, 0);
        EXPECT_FALSE(dlg.List.sortAscending);
        EXPECT_EQ((Texts{L"9", L"10", L"02", L"01"}), ui::ListColumn(list, 0));

        // Another column starts ascending; upper case sorts before lower case.
        ui::ClickHeader(list, 1);
        EXPECT_EQ(1, dlg.List.sortColumn);
        EXPECT_TRUE(dlg.List.sortAscending);
        EXPECT_EQ((Texts{L"Avi", L"MP3", L"avi", L"mp3"}), ui::ListColumn(list, 1));

        // The parent still hears of every click.
        SendMessageW(box, WM_NULL, 0, 0);
        EXPECT_EQ(3u, dlg.ParentNotifications.size());
    });
}

TEST(ListCtrlSortable, SortMarkFollowsTheSortedColumn) {
    ListHostDlg dlg;
    dlg.Init = [](CListCtrl_SortItemsEx& list) {
        list.SetColumns(L"序号, 90; 文件扩展名, 150");
        list.InsertRow({L"01", L"a"});
        list.InsertRow({L"02", L"b"});
    };
    RunHost(dlg, [&](HWND, HWND list) {
        const bool themed = CListCtrl_Sortable::UsesVisualStyles();
        auto bitmapSize = [](HBITMAP b) {
            BITMAP info{};
            GetObjectW(b, sizeof info, &info);
            return std::make_pair(info.bmWidth, info.bmHeight);
        };
        ui::ClickHeader(list, 0);
        HDITEMW first = HeaderItem(list, 0), second = HeaderItem(list, 1);
        if (themed) {
            EXPECT_TRUE(first.fmt & HDF_SORTDOWN);
            EXPECT_FALSE(second.fmt & (HDF_SORTDOWN | HDF_SORTUP));
        } else {
            EXPECT_EQ(HDF_BITMAP | HDF_BITMAP_ON_RIGHT, first.fmt & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT));
            ASSERT_NE(nullptr, first.hbm);
            EXPECT_EQ(std::make_pair(9L, 8L), bitmapSize(first.hbm));
            EXPECT_FALSE(second.fmt & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT));
        }

        ui::ClickHeader(list, 0);
        first = HeaderItem(list, 0);
        if (themed) EXPECT_TRUE(first.fmt & HDF_SORTUP);
        else EXPECT_TRUE(first.fmt & HDF_BITMAP_ON_RIGHT);

        ui::ClickHeader(list, 1);
        first = HeaderItem(list, 0);
        second = HeaderItem(list, 1);
        if (themed) {
            EXPECT_FALSE(first.fmt & (HDF_SORTDOWN | HDF_SORTUP));
            EXPECT_TRUE(second.fmt & HDF_SORTDOWN);
        } else {
            EXPECT_FALSE(first.fmt & (HDF_BITMAP | HDF_BITMAP_ON_RIGHT));
            EXPECT_EQ(nullptr, first.hbm);
            EXPECT_TRUE(second.fmt & HDF_BITMAP_ON_RIGHT);
            EXPECT_NE(nullptr, second.hbm);
        }
        // The column texts stay.
        EXPECT_STREQ(L" 文件扩展名", HeaderItem(list, 1).pszText);
    });
}

TEST(ListCtrlSortable, ComparesCodeUnitsUpTo255Characters) {
    using L = CListCtrl_SortItemsEx;
    EXPECT_LT(L::CompareTexts(L"B", L"a"), 0);
    EXPECT_GT(L::CompareTexts(L"ab", L"a"), 0);
    EXPECT_EQ(0, L::CompareTexts(L"", L""));
    EXPECT_LT(L::CompareTexts(L"z", L"\u4e2d"), 0);  // no locale: by code unit
    std::wstring longA(255, L'x'), longB(255, L'x');
    EXPECT_EQ(0, L::CompareTexts(longA + L"a", longB + L"b"));
    EXPECT_LT(L::CompareTexts(longA.substr(1) + L"a", longB.substr(1) + L"b"), 0);
}

}  // namespace
