// Deleting duplicates and removing emptied folders.
#include "app/TwinseekDlg.h"

void CTwinseekDlg::OnDeleteFiles() {}
