// Commands of the main window on the result rows.
#include "app/TwinseekDlg.h"

LRESULT CTwinseekDlg::OnResultsRClick(NMHDR*) { return 0; }
LRESULT CTwinseekDlg::OnResultsClick(NMHDR*) { return 0; }
LRESULT CTwinseekDlg::OnResultsDblClk(NMHDR*) { return 0; }
void CTwinseekDlg::OnOpenFile() {}
void CTwinseekDlg::OnOpenFolder() {}
void CTwinseekDlg::OnCopyName() {}
void CTwinseekDlg::OnCopyPath() {}
void CTwinseekDlg::OnExpandAll() {}
