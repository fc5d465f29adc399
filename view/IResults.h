#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

// The results as the file passes see them: group rows at the top level, file rows
// under them, each with its column texts (view/ResultColumns.h) and its tick. The
// window's tree implements it with messages only, so a pass's worker may call it;
// the unit tests implement it in memory. A row handle stays valid until its row is
// deleted; a deleted group row takes its file rows with it.
class IResults {
public:
    virtual ~IResults() = default;

    // Null past the end.
    virtual HTREEITEM FirstGroup() const = 0;
    virtual HTREEITEM FirstChild(HTREEITEM row) const = 0;
    virtual HTREEITEM NextSibling(HTREEITEM row) const = 0;
    // Null for a group row.
    virtual HTREEITEM Parent(HTREEITEM row) const = 0;
    // The row the user selected, or null.
    virtual HTREEITEM Selected() const = 0;

    virtual std::wstring Text(HTREEITEM row, int column) const = 0;
    virtual bool Ticked(HTREEITEM row) const = 0;
    virtual void SetTicked(HTREEITEM row, bool on) = 0;
    virtual void SetText(HTREEITEM row, int column, const std::wstring& text) = 0;
    virtual void DeleteRow(HTREEITEM row) = 0;

    // Redrawing off while many rows change, and one repaint of all of them.
    virtual void SetRedraw(bool on) = 0;
    virtual void Repaint() = 0;

    bool Empty() const { return FirstGroup() == nullptr; }
};
