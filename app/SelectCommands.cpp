// The main window's commands that choose what goes: the selection rules (选择 and
// the row menu) and the protected folders (row menu).
#include "app/TwinseekDlg.h"
#include "res/resource.h"
#include "view/ResultColumns.h"
#include "view/ResultText.h"
#include "view/TickRules.h"

namespace {

// A rule changes ticks a running pass reads: it waits, as the passes do for each other.
void Apply(CTwinseekDlg& dlg, ETickRule rule, const std::wstring& folder = {}) {
    if (FilePassRefused(dlg)) return;
    dlg.ResultsView.ApplyRule(rule, folder);
}

}  // namespace

void CTwinseekDlg::OnSelectNewest() { Apply(*this, ETickRule::KeepNewest); }
void CTwinseekDlg::OnSelectOldest() { Apply(*this, ETickRule::KeepOldest); }
void CTwinseekDlg::OnSelectShallowest() { Apply(*this, ETickRule::KeepShallowest); }
void CTwinseekDlg::OnSelectNone() { Apply(*this, ETickRule::UntickAll); }
void CTwinseekDlg::OnSelectInvert() { Apply(*this, ETickRule::Invert); }

void CTwinseekDlg::OnSelectFolder() {
    HTREEITEM row = MenuRow();
    std::wstring folder, name;
    if (row && SplitPath(ResultTree.GetItemText(row, kPathColumn), folder, name)) Apply(*this, ETickRule::TickFolder, folder);
}

void CTwinseekDlg::OnProtect() {
    HTREEITEM row = MenuRow();
    std::wstring folder, name;
    if (!row || !TreeView_GetParent(ResultTree.GetTreeCtrl(), row) ||
        !SplitPath(ResultTree.GetItemText(row, kPathColumn), folder, name))
        return;
    if (!ProtectedFolders.Add(folder)) return;
    ProtectedFolders.Save();
    ResultsView.FollowProtection();
}

void CTwinseekDlg::OnUnprotect() {
    // A running pass read the list as it was: it may not lose a folder under it.
    if (FilePassRefused(*this)) return;
    HTREEITEM row = MenuRow();
    if (!row || !ProtectedFolders.RemoveCovering(ResultTree.GetItemText(row, kPathColumn))) return;
    ProtectedFolders.Save();
    ResultsView.FollowProtection();
}
