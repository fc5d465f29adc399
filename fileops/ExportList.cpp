// Writing the result list to a text file.
#include "app/TwinseekDlg.h"

void CTwinseekDlg::OnExportList() {}
