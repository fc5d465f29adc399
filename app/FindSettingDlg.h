#pragma once
#include <mutex>
#include <string>

#include "settings/FindSettingStruct.h"
#include "view/ListCtrl_SortItemsEx.h"
#include "win/Dialog.h"

// The search settings: criteria, the MD5 size limit, expansion, and the extension
// filter with its list. It edits the caller's record in place (Cancel keeps what
// the exchanges put there) and saves it on OK.
//
// The search worker reads the same record: every change to it is made while
// `settingsLock` is held (when one is given), and only on this dialog's thread,
// so reading it here needs no lock.
class CFindSettingDlg : public win::Dialog {
public:
    // Loads the record from the settings file (merging the file's extensions).
    explicit CFindSettingDlg(FindSettingStruct& settings, std::recursive_mutex* settingsLock = nullptr);

    FindSettingStruct& settings;
    std::wstring extensionText;
    CListCtrl_SortItemsEx extensionList;

    TW_DECLARE_MSG_TABLE();

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(win::DataExchange& dx) override;

private:
    void OnMd5Clicked();  // 1051
    void OnAdd();         // 1006
    void OnRemove();      // 1007
    std::unique_lock<std::recursive_mutex> LockSettings() const;

    std::recursive_mutex* settingsLock_;
};
