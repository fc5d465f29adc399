#pragma once
#include "view/ListCtrl_Sortable.h"

// A sortable list whose rows compare by the text of the sorted column, code unit by
// code unit (case-sensitive, no locale, no numeric order), up to 255 characters.
class CListCtrl_SortItemsEx : public CListCtrl_Sortable {
public:
    bool SortColumn(int column, bool ascending) override;

    // The ordering used: <0, 0 or >0 like wcscmp, on the first 255 characters.
    static int CompareTexts(const std::wstring& a, const std::wstring& b);
    static constexpr size_t kCompareLength = 255;
};
