// Handing two ticked files to the outside comparison program.
#include "app/TwinseekDlg.h"

void CTwinseekDlg::OnCompareFiles() {}
