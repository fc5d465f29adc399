// Moving and copying duplicates into one folder.
#include "app/TwinseekDlg.h"

void CTwinseekDlg::OnMoveFiles() {}
