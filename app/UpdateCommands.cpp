// The main window's side of the update check: the start-up check and command 1005.
#include "app/TwinseekDlg.h"
#include "engine/FindFlags.h"
#include "res/Version.h"
#include "res/resource.h"
#include "update/UpdateInfoDlg.h"

namespace {
const wchar_t kAppVersion[] = L"" TWINSEEK_VERSION_TEXT;
const wchar_t kAppType[] = L"twinseek";

void StartupUpdateCheck(CTwinseekDlg* wnd) {
    CUpdateInfo& info = wnd->UpdateInfo;
    info.LoadDescriptor(info.DescriptorAddress());
    if (info.CheckVersion() != 1) return;
    wnd->UpdateShown = 0;
    // Opens the notice exactly as the button does, on the window's own thread.
    HWND window = wnd->GetHwnd();
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_CHECK_UPDATE, BN_CLICKED), reinterpret_cast<LPARAM>(window));
}

unsigned __stdcall StartupCheckEntry(void* wnd) { return UpdateThreadProc(static_cast<CTwinseekDlg*>(wnd)); }

}  // namespace

unsigned UpdateThreadProc(CTwinseekDlg* wnd) {
    try {
        StartupUpdateCheck(wnd);
        CheckClosing(wnd->ClosingFlag);
    } catch (...) {
        // The start-up check never reports anything.
    }
    return 0;
}

void CTwinseekDlg::StartUpdateCheck() {
    UpdateInfo.SetAppInfo(kAppVersion, kAppType);
    UpdateCheckThread.Start(StartupCheckEntry, this);
}

void CTwinseekDlg::OnCheckUpdate() {
    CUpdateInfoDlg notice(&UpdateInfo, UpdateShown);
    notice.DoModal();
    UpdateShown = 1;
}
