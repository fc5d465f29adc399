// Moving and copying duplicates into one folder.
#include "app/TwinseekDlg.h"
#include "fileops/MoveFileDlg.h"
#include "win/MessageBox.h"

void CTwinseekDlg::OnMoveFiles() {
    if (TreeView_GetCount(ResultTree.GetTreeCtrl()) == 0) {
        win::AppMessageBox(L"没找到相同文件名的文件", MB_OK);
        return;
    }
    CMoveFileDlg dialog(&MoveSetting);
    if (dialog.DoModal() != IDOK) return;
}
