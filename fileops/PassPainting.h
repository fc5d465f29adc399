#pragma once
#include <windows.h>

#include "app/TwinseekDlg.h"

// Every row change repaints the visible rows, which costs far more than the file
// operations (a pass of 150 moves took about six times as long drawn throughout):
// while a delete or move pass runs the tree is drawn a few times a second, and once
// at its end. Used on the pass's worker; the calls reach the window by messages.
class PassPainting {
public:
    explicit PassPainting(CTwinseekDlg& dlg) : dlg_(dlg), last_(GetTickCount()) { dlg_.SetResultsRedraw(false); }
    ~PassPainting() { Paint(); }
    PassPainting(const PassPainting&) = delete;
    PassPainting& operator=(const PassPainting&) = delete;
    // Called for every file of the pass.
    void Tick() {
        if (GetTickCount() - last_ < 250) return;
        Paint();
        dlg_.SetResultsRedraw(false);
    }

private:
    void Paint() {
        dlg_.SetResultsRedraw(true);
        dlg_.RepaintResults();
        last_ = GetTickCount();
    }
    CTwinseekDlg& dlg_;
    DWORD last_;
};
