#include "app/TwinseekApp.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "app/TwinseekDlg.h"
#include "win/MessageBox.h"

int CTwinseekApp::InitInstance() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    // The folder pickers and shell calls need OLE on the window's thread.
    OleInitialize(nullptr);
    {
        CTwinseekDlg dlg;
        dlg.DoModal();
    }
    win::SetAppMainWindow(nullptr);
    OleUninitialize();
    return FALSE;
}
