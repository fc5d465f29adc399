#include "fileops/LeftFilesDlg.h"

#include <commctrl.h>

#include "res/resource.h"

CLeftFilesDlg::CLeftFilesDlg(std::vector<SLeftFile> files, HWND parent)
    : win::Dialog(IDD_LEFT_FILES, parent), Files(std::move(files)) {}

BOOL CLeftFilesDlg::OnInitDialog() {
    win::Dialog::OnInitDialog();
    HWND list = GetItem(IDC_LEFT_LIST);
    ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    RECT r;
    ::GetClientRect(list, &r);
    const int width = r.right - r.left - GetSystemMetrics(SM_CXVSCROLL);
    const wchar_t* titles[] = {L"文件", L"原因"};
    const int widths[] = {width * 3 / 5, width - width * 3 / 5};
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = const_cast<wchar_t*>(titles[i]);
        column.cx = widths[i];
        ListView_InsertColumn(list, i, &column);
    }
    int row = 0;
    for (const SLeftFile& file : Files) {
        std::wstring path = file.path, reason = LeftReasonText(file);
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = path.data();
        const int at = ListView_InsertItem(list, &item);
        if (at < 0) continue;
        ListView_SetItemText(list, at, 1, reason.data());
        ++row;
    }
    return TRUE;
}
