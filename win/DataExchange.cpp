#include "win/DataExchange.h"

#include <climits>
#include <cwchar>
#include <cwctype>

#include "win/MessageBox.h"
#include "win/SubclassedControl.h"

namespace win {

HWND DataExchange::Item(int id) const { return GetDlgItem(dialog_, id); }

void DataExchange::Fail(HWND control, const wchar_t* message) {
    AppMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    if (control) SetFocus(control);
    if (control && SendMessageW(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(control, EM_SETSEL, 0, -1);
    throw Failure{};
}

void DataExchange::Text(int id, std::wstring& value) {
    Window w(Item(id));
    if (save_) value = w.GetText();
    else w.SetText(value);
}

bool DataExchange::ParseInt(const std::wstring& text, int& value) {
    size_t i = 0, n = text.size();
    while (i < n && iswspace(text[i])) ++i;
    bool neg = false;
    if (i < n && (text[i] == L'-' || text[i] == L'+')) neg = text[i++] == L'-';
    size_t digits = i;
    long long v = 0;
    while (i < n && text[i] >= L'0' && text[i] <= L'9') {
        v = v * 10 + (text[i++] - L'0');
        if (v > static_cast<long long>(INT_MAX) + 1) return false;
    }
    if (i == digits) return false;
    while (i < n && iswspace(text[i])) ++i;
    if (i != n) return false;
    if (neg) v = -v;
    if (v > INT_MAX || v < INT_MIN) return false;
    value = static_cast<int>(v);
    return true;
}

void DataExchange::Int(int id, int& value) {
    Window w(Item(id));
    if (save_) {
        int v = 0;
        if (!ParseInt(w.GetText(), v)) Fail(w, L"Enter an integer.");
        value = v;
    } else {
        w.SetText(std::to_wstring(value));
    }
}

void DataExchange::Check(int id, int& value) {
    Window w(Item(id));
    if (save_) value = w.GetCheck();
    else w.SetCheck(value >= 0 && value <= 2 ? value : 0);
}

void DataExchange::Radio(int firstId, int& value) {
    HWND h = Item(firstId);
    if (save_) value = -1;
    int index = 0;
    // Walk the group: the first button carries WS_GROUP, the next WS_GROUP ends it.
    do {
        if (SendMessageW(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            if (save_) {
                if (SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
            } else {
                SendMessageW(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        h = GetWindow(h, GW_HWNDNEXT);
    } while (h && !(GetWindowLongPtrW(h, GWL_STYLE) & WS_GROUP));
}

void DataExchange::Control(int id, Window& control) {
    if (!control.GetHwnd()) control.Attach(Item(id));
}

void DataExchange::Control(int id, SubclassedControl& control) {
    if (!control.IsAttached()) control.SubclassWindow(Item(id));
}

}  // namespace win
