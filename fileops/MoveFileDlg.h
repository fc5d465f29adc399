#pragma once
#include <windows.h>

#include <string>

#include "settings/MoveSettingStruct.h"
#include "win/Dialog.h"

// The move options and the target folder. Edits the main window's record in place;
// OK checks the target and saves the record.
class CMoveFileDlg : public win::Dialog {
public:
    explicit CMoveFileDlg(MoveSettingStruct* setting, HWND parent = nullptr);

    void OnBrowseTarget();   // 1032

    // The folder the picker opens on: the last one picked while the dialog is open.
    std::wstring PickerFolder;

    TW_DECLARE_MSG_TABLE();

protected:
    void DoDataExchange(win::DataExchange& dx) override;
    void OnOK() override;

private:
    MoveSettingStruct* Setting;
};
