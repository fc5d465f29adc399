#include "fileops/MoveFileDlg.h"

#include "res/resource.h"
#include "win/DirDialog.h"
#include "win/MessageBox.h"
#include "win/Shell.h"

namespace {

// "D:\...", "D:" (the root, as the dialog keeps it) or "\\server\share\...".
bool IsAbsoluteFolder(const std::wstring& path) {
    const bool drive = path.size() >= 2 && path[1] == L':' &&
                       ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    if (drive) return path.size() == 2 || path[2] == L'\\';
    return path.size() > 2 && path[0] == L'\\' && path[1] == L'\\';
}

}  // namespace

CMoveFileDlg::CMoveFileDlg(MoveSettingStruct* setting, HWND parent)
    : win::Dialog(IDD_MOVE_DIALOG, parent), Setting(setting) {}

TW_BEGIN_MSG_TABLE(CMoveFileDlg, win::Dialog)
    TW_ON_COMMAND(IDC_MOVE_BROWSE, OnBrowseTarget)   // void ()
TW_END_MSG_TABLE()

void CMoveFileDlg::DoDataExchange(win::DataExchange& dx) {
    dx.Radio(IDC_MOVE_CHECKED, Setting->MoveType);
    dx.Check(IDC_MOVE_COPY, Setting->Copy);
    dx.Check(IDC_MOVE_OVERWRITE, Setting->OverWrite);
    dx.Check(IDC_MOVE_DEL_EMPTY, Setting->DelEmpty);
    dx.Text(IDC_MOVE_TARGET, Setting->SavePath);
}

void CMoveFileDlg::OnBrowseTarget() {
    if (!UpdateData(true)) return;
    CDirDialog picker(true);
    picker.Title = L"请选择一个文件夹";
    picker.InitialFolder = PickerFolder;
    if (!picker.DoBrowse(nullptr)) return;
    Setting->SavePath = picker.SelectedPath;
    PickerFolder = picker.SelectedPath;
    UpdateData(false);
}

void CMoveFileDlg::OnOK() {
    if (!UpdateData(true)) return;
    std::wstring& target = Setting->SavePath;
    if (target.empty()) {
        win::AppMessageBox(L"请选择一个移动目标文件夹", MB_OK);
        return;
    }
    // A relative folder would be taken from wherever the current folder is.
    if (!IsAbsoluteFolder(target)) {
        win::AppMessageBox(L"请输入完整的目标文件夹路径，例如 D:\\重复文件", MB_OK);
        return;
    }
    if (!win::PathExists(target)) {
        win::AppMessageBox(L"目标文件夹不存在！", MB_OK);
        return;
    }
    // The targets are formed as folder + "\" + name: a drive root is kept as D:.
    if (target.back() == L'\\') {
        target.pop_back();
        UpdateData(false);
    }
    Setting->Save();
    EndDialog(IDOK);
}
