#pragma once
#include <windows.h>

#include "view/IResults.h"

// Every row change repaints the visible rows, which costs far more than the file
// operations (a pass of 150 moves took about six times as long drawn throughout):
// while a delete or move pass runs the tree is drawn a few times a second, and once
// at its end. Used on the pass's worker.
class PassPainting {
public:
    explicit PassPainting(IResults& results) : results_(results), last_(GetTickCount()) { results_.SetRedraw(false); }
    ~PassPainting() { Paint(); }
    PassPainting(const PassPainting&) = delete;
    PassPainting& operator=(const PassPainting&) = delete;
    // Called for every file of the pass.
    void Tick() {
        if (GetTickCount() - last_ < 250) return;
        Paint();
        results_.SetRedraw(false);
    }

private:
    void Paint() {
        results_.SetRedraw(true);
        results_.Repaint();
        last_ = GetTickCount();
    }
    IResults& results_;
    DWORD last_;
};
