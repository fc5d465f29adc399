#include "view/TreeResults.h"

#include "view/RowTick.h"

bool CTreeResults::Ticked(HTREEITEM row) const { return RowTicked(Tree(), row); }

void CTreeResults::SetTicked(HTREEITEM row, bool on) { SetRowTicked(Tree(), row, on); }

void CTreeResults::Repaint() {
    RedrawWindow(tree_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}
