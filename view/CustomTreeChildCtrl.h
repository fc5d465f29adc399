#pragma once
#include <windows.h>
#include <commctrl.h>

#include <atomic>

#include "view/LateRows.h"
#include "view/TickRows.h"
#include "win/SubclassedControl.h"

// The tree inside the column tree: paints off-screen in one block (no flicker when
// rows are added while a search runs) and lets mouse input through only where the
// tree itself is shown, that is the visible part of the first column. A row's
// children are asked for only after the rows it holds back are made, and its label
// is read with the count it holds back.
class CCustomTreeChildCtrl : public win::SubclassedControl {
public:
    // Width of column 0, kept up to date by the column tree.
    int firstColumnWidth = 0;

    // Whether a mouse message at this client point reaches the tree.
    bool CheckHit(POINT pt) const;

    void SetLateRows(ILateRows* late) { lateRows_ = late; }
    void SetTickRows(ITickRows* ticks) { tickRows_ = ticks; }
    // Before a row's children are reached (window's thread).
    void MakeLateRows(HTREEITEM row) {
        if (ILateRows* late = lateRows_; late && row) late->MakeLateRows(row);
    }
    bool HasFileRows(HTREEITEM row) const {
        ILateRows* late = lateRows_;
        return late && late->HasFileRows(row);
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Paint();
    // TVM_GETITEMW has filled `item`: a count held back replaces the label's first piece.
    void PutLateCount(TVITEMW& item) const;
    LRESULT OnClick(UINT msg, WPARAM wp, LPARAM lp);
    int FirstPieceWidth(HTREEITEM item) const;

    std::atomic<ILateRows*> lateRows_{nullptr};
    std::atomic<ITickRows*> tickRows_{nullptr};
};
