#include "update/UpdateInfoDlg.h"

#include "res/Messages.h"
#include "res/resource.h"
#include "win/MessageBox.h"
#include "win/ProcessExit.h"
#include "win/Threads.h"

CUpdateInfoDlg::CUpdateInfoDlg(CUpdateInfo* info, int updateShown, HWND parent)
    : win::Dialog(IDD_UPDATE_INFO, parent), Info(info), UpdateShown(updateShown) {}

TW_BEGIN_MSG_TABLE(CUpdateInfoDlg, win::Dialog)
    TW_ON_COMMAND(IDOK, OnCheckNow)
    TW_ON_COMMAND(IDC_UPD_EXIT, OnExitProgram)
    TW_ON_MESSAGE(WM_NO_UPDATE, OnNoUpdate)
    TW_ON_MESSAGE(WM_UPDATE_FOUND, OnUpdateFound)
TW_END_MSG_TABLE()

void CUpdateInfoDlg::DoDataExchange(win::DataExchange& dx) {
    dx.Control(IDC_UPD_CURRENT, CurrentEdit);
    dx.Control(IDC_UPD_LATEST, LatestEdit);
    dx.Control(IDC_UPD_DATE, DateEdit);
    dx.Control(IDC_UPD_DESCRIPTION, DescriptionEdit);
    dx.Control(IDC_UPD_LINK, Link);
    dx.Control(IDOK, CheckButton);
    dx.Control(IDCANCEL, CancelButton);
}

BOOL CUpdateInfoDlg::OnInitDialog() {
    win::Dialog::OnInitDialog();
    CurrentEdit.SetText(Info->Fields().AppVersion);
    Link.SetText(L"点击下载");
    Link.Enable(false);
    if (UpdateShown == 0) FetchAndShow(Info, false, hwnd_);
    return TRUE;
}

void CUpdateInfoDlg::OnCheckNow() {
    LatestEdit.SetText(L"正在获取最新版本...");
    DateEdit.SetText(L"正在获取最新版本更新日期...");
    DescriptionEdit.SetText(L"正在获取最新版本描述...");
    Link.Enable(false);
    CheckButton.Enable(false);
    // The worker gets no pointer to this object: the notice may be closed before it ends.
    CUpdateInfo* info = Info;
    bool fetch = UpdateShown != 0;
    HWND notice = hwnd_;
    if (!win::StartWorker([info, fetch, notice] { FetchAndShow(info, fetch, notice); }))
        PostMessageW(hwnd_, WM_NO_UPDATE, 0, 0);
}

void CUpdateInfoDlg::FetchAndShow(CUpdateInfo* info, bool fetch, HWND notice) {
    if (fetch) info->LoadDescriptor(info->DescriptorAddress());
    SUpdateFields fields = info->Fields();
    if (CUpdateInfo::CheckVersion(fields) != 1) {
        PostMessageW(notice, WM_NO_UPDATE, 0, 0);
        return;
    }
    // Sent, not posted: the fields live on this thread's stack until the notice took them.
    SendMessageW(notice, WM_UPDATE_FOUND, 0, reinterpret_cast<LPARAM>(&fields));
}

LRESULT CUpdateInfoDlg::OnUpdateFound(WPARAM, LPARAM lp) {
    const SUpdateFields& fields = *reinterpret_cast<const SUpdateFields*>(lp);
    LatestEdit.SetText(fields.LatestVersion);
    DateEdit.SetText(fields.ReleaseDate);
    DescriptionEdit.SetText(fields.Description);
    Link.SetURL(fields.DownloadAddress);
    Link.SetUnderline(1);
    Link.Show();
    // A download address that is not a web address is shown but cannot be opened.
    Link.Enable(CHyperLink::IsWebAddress(fields.DownloadAddress));
    CheckButton.Enable(true);
    CancelButton.Enable(false);
    return 0;
}

LRESULT CUpdateInfoDlg::OnNoUpdate(WPARAM, LPARAM) {
    win::MessageBox(hwnd_, L"没有可用的更新！", win::AppName(), MB_OK);
    EndDialog(IDCANCEL);
    return 0;
}

void CUpdateInfoDlg::OnExitProgram() { EndProcess(0); }
