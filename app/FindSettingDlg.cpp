#include "app/FindSettingDlg.h"

#include "res/resource.h"
#include "win/Format.h"
#include "win/MessageBox.h"

namespace {

// The values the controls exchange, taken out of the record so that a pass can
// fill them without the lock and hand them over in one step.
struct Exchanged {
    int FindSimularFile, FindSizeFile, FindTimeFile, FindMD5File, FileExtType, Md5MaxSize, ExpandItem, FastSearch;

    static Exchanged From(const FindSettingStruct& s) {
        return {s.FindSimularFile, s.FindSizeFile, s.FindTimeFile, s.FindMD5File,
                s.FileExtType,     s.Md5MaxSize,   s.ExpandItem,   s.FastSearch};
    }
    void To(FindSettingStruct& s) const {
        s.FindSimularFile = FindSimularFile;
        s.FindSizeFile = FindSizeFile;
        s.FindTimeFile = FindTimeFile;
        s.FindMD5File = FindMD5File;
        s.FileExtType = FileExtType;
        s.Md5MaxSize = Md5MaxSize;
        s.ExpandItem = ExpandItem;
        s.FastSearch = FastSearch;
    }
};

}  // namespace

TW_BEGIN_MSG_TABLE(CFindSettingDlg, win::Dialog)
    TW_ON_COMMAND(IDC_SET_MD5, OnMd5Clicked)   // void ()
    TW_ON_COMMAND(IDC_SET_ADD, OnAdd)          // void ()
    TW_ON_COMMAND(IDC_SET_REMOVE, OnRemove)    // void ()
TW_END_MSG_TABLE()

CFindSettingDlg::CFindSettingDlg(FindSettingStruct& record, std::recursive_mutex* settingsLock)
    : win::Dialog(IDD_FIND_SETTING), settings(record), settingsLock_(settingsLock) {
    // Read the file into a copy, so the worker never sees a half-loaded record.
    FindSettingStruct loaded = settings;
    loaded.Load();
    auto lock = LockSettings();
    settings = loaded;
}

std::unique_lock<std::recursive_mutex> CFindSettingDlg::LockSettings() const {
    return settingsLock_ ? std::unique_lock<std::recursive_mutex>(*settingsLock_)
                         : std::unique_lock<std::recursive_mutex>();
}

void CFindSettingDlg::DoDataExchange(win::DataExchange& dx) {
    Exchanged v = Exchanged::From(settings);
    // A bad number stops the pass at its box; what was taken before it still counts.
    struct Commit {
        CFindSettingDlg& dlg;
        Exchanged& v;
        bool saving;
        ~Commit() {
            if (!saving) return;
            auto lock = dlg.LockSettings();
            v.To(dlg.settings);
        }
    } commit{*this, v, dx.saving()};

    dx.Check(IDC_SET_SIMILAR, v.FindSimularFile);
    dx.Check(IDC_SET_SIZE, v.FindSizeFile);
    dx.Check(IDC_SET_TIME, v.FindTimeFile);
    dx.Check(IDC_SET_MD5, v.FindMD5File);
    dx.Radio(IDC_SET_EXT_ONLY, v.FileExtType);
    dx.Text(IDC_SET_EXT_TEXT, extensionText);
    dx.Control(IDC_SET_EXT_LIST, extensionList);
    dx.Int(IDC_SET_MD5_MAX, v.Md5MaxSize);
    dx.Check(IDC_SET_EXPAND, v.ExpandItem);
    dx.Check(IDC_SET_FAST, v.FastSearch);
}

BOOL CFindSettingDlg::OnInitDialog() {
    win::Dialog::OnInitDialog();
    extensionList.SetColumns(L"序号, 90; 文件扩展名, 150");
    extensionList.SetExtendedStyle(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    // Filled with drawing off: a long list otherwise costs a layout and a repaint
    // per row.
    extensionList.SetRedraw(false);
    int n = 1;
    for (const std::wstring& ext : settings.ExtList)
        extensionList.InsertRow({win::Format(L"%02d", n++), ext});
    extensionList.SetRedraw(true);
    extensionList.Invalidate();
    return TRUE;
}

void CFindSettingDlg::OnMd5Clicked() {
    UpdateData(true);
    if (!settings.FindMD5File) return;
    if (win::AppMessageBox(L"计算文件MD5会导致查找速度极其的慢，是否要比较文件MD5？", MB_YESNO) == IDYES) return;
    {
        auto lock = LockSettings();
        settings.FindMD5File = 0;
    }
    UpdateData(false);
}

void CFindSettingDlg::OnAdd() {
    UpdateData(true);
    if (extensionText.empty() || settings.ExtList.Contains(extensionText)) return;
    std::wstring number = win::Format(L"%02d", static_cast<int>(settings.ExtList.size()) + 1);
    {
        auto lock = LockSettings();
        settings.ExtList.Add(extensionText);
    }
    extensionList.InsertRow({number, extensionText});
}

void CFindSettingDlg::OnRemove() {
    for (int row = extensionList.GetItemCount() - 1; row >= 0; --row) {
        if (!extensionList.GetCheck(row)) continue;
        std::wstring ext = extensionList.GetItemText(row, 1);
        extensionList.DeleteItem(row);
        auto lock = LockSettings();
        settings.ExtList.Remove(ext);
    }
}

void CFindSettingDlg::OnOK() {
    UpdateData(true);
    settings.Save();
    win::Dialog::OnOK();
}
