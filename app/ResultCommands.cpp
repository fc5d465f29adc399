// Commands of the main window on the result rows.
#include "app/ResultCommands.h"

#include <atomic>

#include "app/TwinseekDlg.h"
#include "res/resource.h"
#include "view/ResultColumns.h"
#include "view/ResultText.h"
#include "view/RowTick.h"
#include "win/Shell.h"

namespace {

std::atomic<ResultsShellOpenFn> g_shellOpen{nullptr};

void Open(HWND owner, const std::wstring& target, int show) {
    if (ResultsShellOpenFn fn = g_shellOpen) fn(owner, target, show);
    else win::ShellOpen(owner, target, show);
}


}  // namespace

void SetResultsShellOpen(ResultsShellOpenFn fn) { g_shellOpen = fn; }

LRESULT CTwinseekDlg::OnResultsRClick(NMHDR*) {
    GetCursorPos(&MenuPoint);
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LIST_MENU));
    if (!menu) return 0;
    if (HMENU popup = GetSubMenu(menu, 0)) {
        // The protect items speak of the file row under the point: one of the two
        // shows, and neither acts on a group row or on nothing.
        ColumnTreeHitInfo hit;
        hit.pt = MenuPoint;
        ScreenToClient(ResultTree, &hit.pt);
        HTREEITEM row = ResultTree.HitTest(hit);
        const bool fileRow = row && TreeView_GetParent(ResultTree.GetTreeCtrl(), row);
        const bool guarded = fileRow && ResultsView.RowProtected(row);
        DeleteMenu(popup, guarded ? ID_LIST_PROTECT : ID_LIST_UNPROTECT, MF_BYCOMMAND);
        if (!fileRow) EnableMenuItem(popup, ID_LIST_PROTECT, MF_BYCOMMAND | MF_GRAYED);
        if (!row) EnableMenuItem(popup, ID_SELECT_FOLDER, MF_BYCOMMAND | MF_GRAYED);
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, MenuPoint.x, MenuPoint.y, 0, hwnd_,
                       nullptr);
    }
    DestroyMenu(menu);
    return 0;
}

HTREEITEM CTwinseekDlg::MenuRow() {
    ColumnTreeHitInfo hit;
    hit.pt = MenuPoint;
    ScreenToClient(ResultTree, &hit.pt);
    HTREEITEM row = ResultTree.HitTest(hit);
    TreeView_SelectItem(ResultTree.GetTreeCtrl(), row);
    return row;
}

void CTwinseekDlg::OnOpenFile() {
    if (HTREEITEM row = MenuRow()) Open(hwnd_, ResultTree.GetItemText(row, kPathColumn), SW_SHOWNORMAL);
}

void CTwinseekDlg::OnOpenFolder() {
    HTREEITEM row = MenuRow();
    if (!row) return;
    std::wstring folder, name;
    if (SplitPath(ResultTree.GetItemText(row, kPathColumn), folder, name)) Open(hwnd_, folder, SW_SHOWNORMAL);
}

void CTwinseekDlg::OnCopyName() {
    if (HTREEITEM row = MenuRow()) CopyTextToClipboard(ResultTree.GetItemText(row, kNameColumn) + L"\r\n", hwnd_);
}

void CTwinseekDlg::OnCopyPath() {
    if (HTREEITEM row = MenuRow()) CopyTextToClipboard(ResultTree.GetItemText(row, kPathColumn) + L"\r\n", hwnd_);
}

LRESULT CTwinseekDlg::OnResultsDblClk(NMHDR*) {
    ColumnTreeHitInfo hit;
    GetCursorPos(&hit.pt);
    ScreenToClient(ResultTree, &hit.pt);
    HTREEITEM row = ResultTree.HitTest(hit);
    TreeView_SelectItem(ResultTree.GetTreeCtrl(), row);
    // The tree flips a double-clicked box once more by itself; the results flip it
    // instead, as they do a click.
    if (row && (hit.flags & TVHT_ONITEMSTATEICON)) {
        ResultsView.ToggleTick(row);
        ResultsView.NoteClickedTick(row);
        return 1;
    }
    if (row && hit.iSubItem == kPathColumn) Open(nullptr, ResultTree.GetItemText(row, kPathColumn), SW_SHOW);
    return 0;
}

// Arrives before the tree flips the clicked box: the results flip it themselves, and
// a nonzero answer keeps the tree from doing it too.
LRESULT CTwinseekDlg::OnResultsClick(NMHDR*) {
    UpdateData(true);
    HWND tree = ResultTree.GetTreeCtrl();
    ColumnTreeHitInfo hit;
    GetCursorPos(&hit.pt);
    ScreenToClient(ResultTree, &hit.pt);
    HTREEITEM row = ResultTree.HitTest(hit);
    TreeView_SelectItem(tree, row);
    if (!row || !(hit.flags & TVHT_ONITEMSTATEICON)) return 0;
    ResultsView.ToggleTick(row);
    ResultsView.NoteClickedTick(row);
    return 1;
}

void CTwinseekDlg::OnExpandAll() {
    if (!ExpandState) ExpandState = FindSetting.ExpandItem != 0;
    ExpandState = !*ExpandState;
    win::Window(GetItem(IDC_EXPAND_ALL)).SetText(*ExpandState ? L"收缩所有" : L"展开所有");
    ExpandAll(*ExpandState);
}
