#include "view/ListCtrl_Sortable.h"

#include <uxtheme.h>

#include <cwchar>
#include <cwctype>

#include "res/resource.h"
#include "win/CommonControls.h"
#include "win/Dpi.h"
#include "win/Handles.h"

namespace {

// The theme library is looked up at run time: where it is missing the list simply
// stays in the classic look.
using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);
using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
using ThemeStateFn = BOOL(WINAPI*)();

template <class Fn>
Fn Proc(HMODULE lib, const char* name) {
    return lib ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, name))) : nullptr;
}


}  // namespace

CListCtrl_Sortable::~CListCtrl_Sortable() {
    if (IsWindow()) FreeHeaderBitmaps();
}

void CListCtrl_Sortable::OnSubclassed() {
    const DWORD styles = LVS_EX_DOUBLEBUFFER | LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP;
    ListView_SetExtendedListViewStyleEx(hwnd_, styles, styles);

    win::LibraryHandle uxtheme(L"uxtheme.dll");
    auto open = Proc<OpenThemeDataFn>(uxtheme.get(), "OpenThemeData");
    auto close = Proc<CloseThemeDataFn>(uxtheme.get(), "CloseThemeData");
    auto setTheme = Proc<SetWindowThemeFn>(uxtheme.get(), "SetWindowTheme");
    if (!open || !close || !setTheme) return;
    if (HTHEME theme = open(hwnd_, L"ListView")) {
        close(theme);
        setTheme(hwnd_, L"Explorer", nullptr);
    }
}

bool CListCtrl_Sortable::SetColumns(const std::wstring& spec) {
    size_t pos = 0;
    for (;;) {
        size_t comma = spec.find(L',', pos);
        if (comma == std::wstring::npos) return true;
        std::wstring name = spec.substr(pos, comma - pos);
        size_t semicolon = spec.find(L';', comma);
        std::wstring widthText =
            spec.substr(comma + 1, semicolon == std::wstring::npos ? std::wstring::npos : semicolon - comma - 1);
        int width = static_cast<int>(wcstol(widthText.c_str(), nullptr, 10));
        pos = semicolon == std::wstring::npos ? spec.size() : semicolon + 1;

        LVCOLUMNW col{};
        col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.fmt = LVCFMT_LEFT;
        col.cx = width;
        col.pszText = name.data();
        col.iSubItem = columnCount;
        if (ListView_InsertColumn(hwnd_, columnCount, &col) < 0) return false;
        ++columnCount;
    }
}

int CListCtrl_Sortable::InsertRow(const std::vector<std::wstring>& texts) {
    std::wstring first = texts.empty() ? std::wstring() : texts[0];
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = GetItemCount();
    item.pszText = first.data();
    int row = ListView_InsertItem(hwnd_, &item);
    if (row < 0) return row;
    for (int column = 1; column < columnCount && static_cast<size_t>(column) < texts.size(); ++column) {
        std::wstring text = texts[column];
        ListView_SetItemText(hwnd_, row, column, text.data());
    }
    return row;
}

bool CListCtrl_Sortable::OnReflect(UINT msg, WPARAM, LPARAM lp, LRESULT&) {
    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        if (hdr->hwndFrom == hwnd_ && hdr->code == LVN_COLUMNCLICK)
            OnColumnClick(reinterpret_cast<NMLISTVIEW*>(lp)->iSubItem);
    }
    // The parent still gets every notification, the column click included.
    return false;
}

void CListCtrl_Sortable::OnColumnClick(int column) {
    SetFocus(hwnd_);
    if (column == sortColumn) {
        sortAscending = !sortAscending;
    } else {
        sortColumn = column;
        sortAscending = true;
    }
    if (SortColumn(sortColumn, sortAscending)) SetSortArrow(sortColumn, sortAscending);
}

bool CListCtrl_Sortable::UsesVisualStyles() {
    win::LibraryHandle uxtheme(L"uxtheme.dll");
    auto themed = Proc<ThemeStateFn>(uxtheme.get(), "IsAppThemed");
    auto active = Proc<ThemeStateFn>(uxtheme.get(), "IsThemeActive");
    if (!themed || !active || !themed() || !active()) return false;
    return win::CommonControlsMajorVersion() >= 6;
}

void CListCtrl_Sortable::SetSortArrow(int column, bool ascending) {
    HWND header = GetHeaderCtrl();
    if (!header) return;
    const int count = Header_GetItemCount(header);
    if (UsesVisualStyles()) {
        for (int i = 0; i < count; ++i) {
            HDITEMW item{};
            item.mask = HDI_FORMAT;
            if (!Header_GetItem(header, i, &item)) continue;
            item.fmt &= ~(HDF_SORTDOWN | HDF_SORTUP);
            if (i == column) item.fmt |= ascending ? HDF_SORTDOWN : HDF_SORTUP;
            Header_SetItem(header, i, &item);
        }
        return;
    }
    for (int i = 0; i < count; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT | HDI_BITMAP;
        if (!Header_GetItem(header, i, &item)) continue;
        if (item.fmt & HDF_BITMAP_ON_RIGHT) {
            if (item.hbm) DeleteObject(item.hbm);
            item.hbm = nullptr;
            item.fmt &= ~(HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
            item.mask = HDI_FORMAT | HDI_BITMAP;
            Header_SetItem(header, i, &item);
        }
        if (i == column) {
            item.mask = HDI_FORMAT | HDI_BITMAP;
            item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
            // The marks are drawn 9 by 8 for 96 DPI and stretched to the header's.
            const UINT dpi = win::DpiOf(header);
            item.hbm = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                       MAKEINTRESOURCEW(ascending ? IDB_SORT_ASC : IDB_SORT_DESC),
                                                       IMAGE_BITMAP, win::Scaled(9, dpi), win::Scaled(8, dpi),
                                                       LR_LOADMAP3DCOLORS));
            Header_SetItem(header, i, &item);
        }
    }
}

void CListCtrl_Sortable::FreeHeaderBitmaps() {
    // The header does not own the bitmaps it shows.
    HWND header = GetHeaderCtrl();
    if (!header) return;
    for (int i = 0, n = Header_GetItemCount(header); i < n; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT | HDI_BITMAP;
        if (!Header_GetItem(header, i, &item) || !(item.fmt & HDF_BITMAP_ON_RIGHT) || !item.hbm) continue;
        HBITMAP bitmap = item.hbm;
        item.hbm = nullptr;
        item.fmt &= ~(HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
        Header_SetItem(header, i, &item);
        DeleteObject(bitmap);
    }
}

LRESULT CListCtrl_Sortable::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) FreeHeaderBitmaps();
    return Default(msg, wp, lp);
}

int CListCtrl_Sortable::GetItemCount() const { return ListView_GetItemCount(hwnd_); }

std::wstring CListCtrl_Sortable::GetItemText(int row, int column) const {
    std::wstring text(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        int n = static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        // A text that filled the buffer may have been cut: ask again with more room.
        if (n + 1 < static_cast<int>(text.size()) || text.size() >= (1u << 16)) {
            text.resize(n > 0 ? n : 0);
            return text;
        }
        text.assign(text.size() * 4, L'\0');
    }
}

bool CListCtrl_Sortable::GetCheck(int row) const { return ListView_GetCheckState(hwnd_, row) != 0; }

void CListCtrl_Sortable::SetCheck(int row, bool on) { ListView_SetCheckState(hwnd_, row, on ? TRUE : FALSE); }

bool CListCtrl_Sortable::DeleteItem(int row) { return ListView_DeleteItem(hwnd_, row) != FALSE; }

DWORD CListCtrl_Sortable::GetExtendedStyle() const { return ListView_GetExtendedListViewStyle(hwnd_); }

void CListCtrl_Sortable::SetExtendedStyle(DWORD style) { ListView_SetExtendedListViewStyle(hwnd_, style); }

HWND CListCtrl_Sortable::GetHeaderCtrl() const { return ListView_GetHeader(hwnd_); }
