#include "win/Dialog.h"

#include "win/MessageBox.h"
#include "win/SubclassedControl.h"

namespace win {

INT_PTR Dialog::DoModal() {
    HWND owner = parent_ ? parent_ : GetSafeOwner();
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

void Dialog::EndDialog(INT_PTR result) { ::EndDialog(hwnd_, result); }

bool Dialog::UpdateData(bool save) {
    DataExchange dx(hwnd_, save);
    try {
        DoDataExchange(dx);
    } catch (const DataExchange::Failure&) {
        return false;
    }
    return true;
}

BOOL Dialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void Dialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

bool Dialog::ProcessMessage(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_COMMAND && (HIWORD(wp) == 0 || HIWORD(wp) == 1)) {
        if (LOWORD(wp) == IDOK) { OnOK(); result = 0; return true; }
        if (LOWORD(wp) == IDCANCEL) { OnCancel(); result = 0; return true; }
    }
    return false;
}

namespace {

// The control that sent a notification to the dialog, if it is one of ours.
SubclassedControl* NotifyingControl(UINT msg, LPARAM lp) {
    switch (msg) {
    case WM_NOTIFY:
        return SubclassedControl::FromHandle(reinterpret_cast<NMHDR*>(lp)->hwndFrom);
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return lp ? SubclassedControl::FromHandle(reinterpret_cast<HWND>(lp)) : nullptr;
    default:
        return nullptr;
    }
}

// Messages whose result is the dialog procedure's return value itself.
bool ReturnsDirectly(UINT msg) {
    switch (msg) {
    case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: case WM_COMPAREITEM:
    case WM_VKEYTOITEM: case WM_CHARTOITEM: case WM_QUERYDRAGICON: case WM_INITDIALOG:
        return true;
    default:
        return false;
    }
}

}  // namespace

INT_PTR CALLBACK Dialog::DialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        Dialog* self;
        if (msg == WM_INITDIALOG) {
            self = reinterpret_cast<Dialog*>(lp);
            SetWindowLongPtrW(h, DWLP_USER, lp);
            self->hwnd_ = h;
            return self->OnInitDialog();
        }
        self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(h, DWLP_USER));
        if (!self) return FALSE;
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrW(h, DWLP_USER, 0);
            self->hwnd_ = nullptr;
            return FALSE;
        }
        LRESULT result = 0;
        bool handled = false;
        if (SubclassedControl* c = NotifyingControl(msg, lp)) handled = c->OnReflect(msg, wp, lp, result);
        if (!handled) handled = self->ProcessMessage(msg, wp, lp, result);
        if (!handled) return FALSE;
        if (ReturnsDirectly(msg)) return static_cast<INT_PTR>(result);
        SetWindowLongPtrW(h, DWLP_MSGRESULT, result);
        return TRUE;
    } catch (...) {
        // An exception must never unwind into the system's dialog manager.
        return FALSE;
    }
}

}  // namespace win
