#pragma once
#include "view/ColumnTreeCtrl.h"
#include "view/IResults.h"

// IResults over the column tree of the main window. Every call is a message to the
// tree, so it holds no lock and may come from any thread.
class CTreeResults : public IResults {
public:
    explicit CTreeResults(CColumnTreeCtrl& tree) : tree_(tree) {}

    HTREEITEM FirstGroup() const override { return TreeView_GetRoot(Tree()); }
    HTREEITEM FirstChild(HTREEITEM row) const override { return TreeView_GetChild(Tree(), row); }
    HTREEITEM NextSibling(HTREEITEM row) const override { return TreeView_GetNextSibling(Tree(), row); }
    HTREEITEM Parent(HTREEITEM row) const override { return TreeView_GetParent(Tree(), row); }
    HTREEITEM Selected() const override { return TreeView_GetSelection(Tree()); }

    std::wstring Text(HTREEITEM row, int column) const override { return tree_.GetItemText(row, column); }
    bool Ticked(HTREEITEM row) const override;
    void SetTicked(HTREEITEM row, bool on) override;
    void SetText(HTREEITEM row, int column, const std::wstring& text) override { tree_.SetItemText(row, column, text); }
    void DeleteRow(HTREEITEM row) override { TreeView_DeleteItem(Tree(), row); }

    void SetRedraw(bool on) override { tree_.GetTreeCtrl().SetRedraw(on); }
    void Repaint() override;

private:
    HWND Tree() const { return tree_.GetTreeCtrl(); }
    CColumnTreeCtrl& tree_;
};
