#pragma once
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "view/ColumnTreeObserver.h"
#include "view/CustomTreeChildCtrl.h"
#include "win/SubclassedControl.h"
#include "win/Window.h"

// Hit-test of the column tree: pt in the control's client coordinates (input),
// the tree's hit flags, the row and the column under the point (output).
struct ColumnTreeHitInfo {
    POINT pt{};
    UINT flags = 0;
    HTREEITEM hItem = nullptr;
    int iSubItem = 0;
};

// A tree whose rows have columns: a header on top, an owner-drawn tree below it and
// a horizontal scroll bar that moves both. It takes over an existing static
// placeholder. A row's column texts live in its label, each followed by one TAB;
// everything past the first column is painted after the tree has drawn the row.
//
// Notifications of the children (apart from the header's width changes and the
// tree's custom draw, used here) reach the owner as if this control sent them:
// hwndFrom and idFrom are this control's, wParam stays the child's id.
//
// Threads: SetItemText, GetItemText, GetChildCount and HitTest only send messages
// to the children, so they may be called from a worker thread; everything else
// runs on the window's thread.
class CColumnTreeCtrl : public win::SubclassedControl {
public:
    static constexpr int kMaxColumns = 16;
    static constexpr int kTreeId = 2, kScrollId = 3, kHeaderId = 1, kFillerId = 4;

    CColumnTreeCtrl() = default;

    // Creates the four children; does nothing when they exist.
    virtual void Initialize();

    win::Window GetTreeCtrl() const { return tree_.GetHwnd(); }
    win::Window GetHeaderCtrl() const { return header_; }
    CCustomTreeChildCtrl& GetTreeChild() { return tree_; }

    // index 0-15; format HDF_LEFT, HDF_RIGHT or HDF_CENTER; subItem is not used.
    int InsertColumn(int index, const std::wstring& text, int format = HDF_LEFT, int width = -1,
                     int subItem = -1);
    void UpdateColumns();
    // The window moved to a screen of DPI `to` from one of `from`: column widths and
    // the control's own indents follow.
    void ScaleLengths(UINT to, UINT from);
    void RepositionControls();

    // Told of text changes made through SetItemText and of every deleted row.
    void SetObserver(IColumnTreeObserver* observer) { observer_ = observer; }
    // Makes the file rows a group row holds back before its children are reached.
    void SetLateRows(ILateRows* late) { tree_.SetLateRows(late); }
    void SetTickRows(ITickRows* ticks) { tree_.SetTickRows(ticks); }
    // Rows drawn in grey text (window's thread; set once, before rows are painted).
    void SetQuietRows(std::function<bool(HTREEITEM)> quiet) { quietRow_ = std::move(quiet); }

    // Puts an empty tree with the same styles, font and images in the old one's place.
    // The old tree is hidden at once, emptied a slice at a time on a timer and then
    // destroyed: Wine's tree frees each row in time that grows with the rows, so
    // emptying a whole disk's rows at once would hold the window for seconds. The
    // old tree's notifications reach nobody.
    void ReplaceTree();
    // Trees replaced and not yet destroyed.
    size_t RetiredTrees() const { return retired_.size(); }

    void SetItemText(HTREEITEM item, int column, const std::wstring& text);
    std::wstring GetItemText(HTREEITEM item, int column) const;
    HTREEITEM HitTest(ColumnTreeHitInfo& info) const;
    int GetChildCount(HTREEITEM item) const;

    int GetColumnCount() const;
    int GetColumnWidth(int column) const { return column >= 0 && column < kMaxColumns ? columnWidths_[column] : 0; }
    int GetScrollX() const { return scrollX_; }
    int GetHeaderHeight() const { return headerHeight_; }
    int GetTextIndent() const { return textIndent_; }
    win::Window GetScrollBar() const { return hScroll_; }
    win::Window GetFillerHeader() const { return filler_; }

    // The whole label of a row, and one TAB-terminated piece of such a label.
    static std::wstring ReadLabel(HWND tree, HTREEITEM item);
    static std::wstring Piece(const std::wstring& label, int index);
    // The text part of a row in tree coordinates; false when the row is not shown.
    static bool LabelRect(HWND tree, HTREEITEM item, RECT& rect);

    bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

protected:
    void OnSubclassed() override { Initialize(); }
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnNotify(WPARAM wp, NMHDR* hdr);
    LRESULT OnCustomDraw(NMTVCUSTOMDRAW* cd);
    void PaintRow(NMTVCUSTOMDRAW* cd);
    void OnHScroll(WPARAM wp);
    void OnPaint();
    void OnSettingChange(UINT msg, WPARAM wp, LPARAM lp);
    int ContentWidth() const;
    bool TreeHasVScroll() const;
    int LayoutHeaderHeight() const;
    LRESULT ForwardToOwner(WPARAM wp, NMHDR* hdr);
    bool Retired(HWND tree) const;
    // One slice of emptying the replaced trees; false once none is left.
    bool DisposeStep();

    std::atomic<IColumnTreeObserver*> observer_{nullptr};
    std::function<bool(HTREEITEM)> quietRow_;
    CCustomTreeChildCtrl tree_;   // id 2
    win::Window hScroll_;         // id 3
    win::Window header_;          // id 1
    win::Window filler_;          // id 4: covers the header's end above the tree's scroll bar

    int headerHeight_ = 0;
    int totalWidth_ = 0;
    int scrollX_ = 0;
    int textIndent_ = 0;
    UINT dpi_ = 96;
    int minFirstColumnWidth_ = 100;
    bool blockNextHeaderChange_ = false;
    bool laidOutWithVScroll_ = false;
    bool relayoutPosted_ = false;   // a WM_COLUMNTREE_RELAYOUT is on its way
    static constexpr UINT_PTR kDisposeTimer = 1;
    std::vector<HWND> retired_;   // replaced trees, oldest first
    int columnWidths_[kMaxColumns] = {};
    int columnFormats_[kMaxColumns] = {};
};
