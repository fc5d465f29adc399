#include "fileops/DelFileDlg.h"

#include "res/resource.h"

CDelFileDlg::CDelFileDlg(DeleteSettingStruct* setting, HWND parent)
    : win::Dialog(IDD_DELETE_DIALOG, parent), Setting(setting) {}

void CDelFileDlg::DoDataExchange(win::DataExchange& dx) {
    dx.Radio(IDC_DEL_KEEP_FIRST, Setting->HowToDel);
    dx.Check(IDC_DEL_DIRECT, Setting->DelDirect);
    dx.Check(IDC_DEL_REFIND, Setting->DelReFind);
    dx.Check(IDC_DEL_EMPTY_DIR, Setting->DelEmptyDir);
    dx.Check(IDC_DEL_SAME_CONTENT, Setting->DelSameContent);
}

void CDelFileDlg::OnOK() {
    if (!UpdateData(true)) return;
    Setting->Save();
    EndDialog(IDOK);
}
