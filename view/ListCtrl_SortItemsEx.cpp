#include "view/ListCtrl_SortItemsEx.h"

#include <algorithm>
#include <vector>

namespace {

struct SortContext {
    const std::vector<std::wstring>* texts;  // by row key
    bool ascending;
};

std::wstring CellText(HWND list, int row, int column) {
    wchar_t buf[CListCtrl_SortItemsEx::kCompareLength + 1] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = static_cast<int>(CListCtrl_SortItemsEx::kCompareLength + 1);
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buf;
}

LPARAM RowParam(HWND list, int row) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

void SetRowParam(HWND list, int row, LPARAM value) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = value;
    SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM context) {
    const auto* c = reinterpret_cast<const SortContext*>(context);
    const std::wstring& a = (*c->texts)[static_cast<size_t>(first)];
    const std::wstring& b = (*c->texts)[static_cast<size_t>(second)];
    return c->ascending ? CListCtrl_SortItemsEx::CompareTexts(a, b) : CListCtrl_SortItemsEx::CompareTexts(b, a);
}

}  // namespace

int CListCtrl_SortItemsEx::CompareTexts(const std::wstring& a, const std::wstring& b) {
    const size_t la = std::min(a.size(), kCompareLength), lb = std::min(b.size(), kCompareLength);
    for (size_t i = 0, n = std::min(la, lb); i < n; ++i) {
        if (a[i] != b[i]) return static_cast<unsigned>(a[i]) < static_cast<unsigned>(b[i]) ? -1 : 1;
    }
    return la == lb ? 0 : (la < lb ? -1 : 1);
}

bool CListCtrl_SortItemsEx::SortColumn(int column, bool ascending) {
    // The sort-by-index request orders rows wrongly under Wine (its callback's
    // indices stop naming the rows once the sort has moved some). So the texts are
    // read up front and each row carries its key in its item data while sorting;
    // the rows' own item data is put back afterwards.
    const int count = GetItemCount();
    std::vector<std::wstring> texts(count);
    std::vector<LPARAM> saved(count);
    for (int row = 0; row < count; ++row) {
        texts[row] = CellText(hwnd_, row, column);
        saved[row] = RowParam(hwnd_, row);
        SetRowParam(hwnd_, row, row);
    }
    SortContext context{&texts, ascending};
    SendMessageW(hwnd_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context), reinterpret_cast<LPARAM>(CompareRows));
    for (int row = 0; row < count; ++row) {
        LPARAM key = RowParam(hwnd_, row);
        if (key >= 0 && key < count) SetRowParam(hwnd_, row, saved[static_cast<size_t>(key)]);
    }
    return true;
}
