// Starting, stopping and re-running a search, and the search worker.
#include "app/TwinseekDlg.h"

void CTwinseekDlg::OnFind() {}
void CTwinseekDlg::OnAddFolder() {}
void CTwinseekDlg::OnReFind() {}
LRESULT CTwinseekDlg::OnFindDone(WPARAM, LPARAM) { return 0; }
