#pragma once
#include <windows.h>

#include "settings/DeleteSettingStruct.h"
#include "win/Dialog.h"

// The delete options. Edits the main window's record in place; OK saves it.
class CDelFileDlg : public win::Dialog {
public:
    explicit CDelFileDlg(DeleteSettingStruct* setting, HWND parent = nullptr);

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    void OnOK() override;

private:
    DeleteSettingStruct* Setting;
};
