#pragma once
#include <windows.h>

#include "update/HyperLink.h"
#include "update/UpdateInfo.h"
#include "win/Dialog.h"
#include "win/Window.h"


// The update notice: the running and the offered version, its date and notes, and a link
// to the download. A check runs on a worker that knows only the descriptor object and
// the notice's handle, so it outlives the notice harmlessly.
class CUpdateInfoDlg : public win::Dialog {
public:
    // updateShown 0: the descriptor was just checked, show it at once;
    // otherwise the notice fetches it when the user asks.
    CUpdateInfoDlg(CUpdateInfo* info, int updateShown, HWND parent = nullptr);

    TW_DECLARE_MSG_TABLE();

    // Loads (when asked to) and checks the descriptor, then tells the notice by message.
    static void FetchAndShow(CUpdateInfo* info, bool fetch, HWND notice);

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(win::DataExchange& dx) override;

private:
    void OnCheckNow();
    void OnExitProgram();
    LRESULT OnNoUpdate(WPARAM wp, LPARAM lp);
    LRESULT OnUpdateFound(WPARAM wp, LPARAM lp);

    CUpdateInfo* Info;
    int UpdateShown;
    win::Window CurrentEdit;
    win::Window LatestEdit;
    win::Window DateEdit;
    win::Window DescriptionEdit;
    win::Window CheckButton;
    win::Window CancelButton;
    CHyperLink Link;
};
