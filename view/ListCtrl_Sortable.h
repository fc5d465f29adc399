#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "win/SubclassedControl.h"

// A report-view list control that sorts itself when a column header is clicked and
// shows the sort mark in the header. How rows compare is left to SortColumn.
// It attaches to an existing list view of a dialog.
class CListCtrl_Sortable : public win::SubclassedControl {
public:
    CListCtrl_Sortable() = default;
    ~CListCtrl_Sortable() override;

    // Columns from "name, width; name, width": names are taken as written (blanks
    // included), widths may have leading blanks. False when a column could not be added.
    bool SetColumns(const std::wstring& spec);
    // Appends a row: texts[0] in column 0, the rest in the following columns;
    // columns without a text stay empty. Returns the row's index, -1 on failure.
    int InsertRow(const std::vector<std::wstring>& texts);
    // Shows the sort mark on `column` and clears it everywhere else.
    void SetSortArrow(int column, bool ascending);

    // Sorts the rows by `column`; true when the rows were sorted.
    virtual bool SortColumn(int column, bool ascending) = 0;

    // Plain list view helpers.
    int GetItemCount() const;
    std::wstring GetItemText(int row, int column) const;
    bool GetCheck(int row) const;
    void SetCheck(int row, bool on);
    bool DeleteItem(int row);
    DWORD GetExtendedStyle() const;
    void SetExtendedStyle(DWORD style);
    HWND GetHeaderCtrl() const;

    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    bool sortAscending = false;
    int sortColumn = -1;  // -1: not sorted yet
    int columnCount = 0;  // columns added through SetColumns

    // Whether the header draws with visual styles (then it has its own sort marks).
    static bool UsesVisualStyles();

protected:
    void OnSubclassed() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void OnColumnClick(int column);
    void FreeHeaderBitmaps();
};
