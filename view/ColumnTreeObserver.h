#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

// Told by the column tree about row changes that bookkeeping outside it must follow.
class IColumnTreeObserver {
public:
    virtual ~IColumnTreeObserver() = default;
    // After SetItemText changed one column of a row; on the caller's thread.
    virtual void OnRowTextChanged(HTREEITEM row, int column, const std::wstring& text) = 0;
    // A row is being deleted (TVN_DELETEITEM, for every row, children included);
    // on the window's thread.
    virtual void OnRowDeleted(HTREEITEM row) = 0;
};
