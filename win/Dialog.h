#pragma once
#include <optional>

#include "win/DataExchange.h"
#include "win/Window.h"

namespace win {

// One entry of a class's message table: a command id, a notification from a
// control id, or a plain window message, and the member that handles it.
template <class T>
struct MsgEntry {
    UINT message;
    UINT id;    // control or command id (WM_COMMAND, WM_NOTIFY)
    UINT code;  // WM_NOTIFY code; for WM_COMMAND 0 means a click, menu or accelerator
    void (T::*command)();
    LRESULT (T::*notify)(NMHDR*);
    LRESULT (T::*message_handler)(WPARAM, LPARAM);
    // May decline (no value): the message then goes on to the base class and, if no
    // one takes it, to the dialog manager's default processing.
    std::optional<LRESULT> (T::*declinable)(WPARAM, LPARAM);
};

template <class T>
bool DispatchTable(T* self, const MsgEntry<T>* table, size_t count, UINT msg, WPARAM wp, LPARAM lp,
                   LRESULT& result) {
    for (size_t i = 0; i < count; ++i) {
        const MsgEntry<T>& e = table[i];
        if (e.message != msg) continue;
        if (msg == WM_COMMAND) {
            UINT code = HIWORD(wp);
            if (LOWORD(wp) != e.id) continue;
            if (e.code == 0 ? (code != 0 && code != 1) : code != e.code) continue;
            (self->*e.command)();
            result = 0;
            return true;
        }
        if (msg == WM_NOTIFY) {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (hdr->idFrom != e.id || hdr->code != e.code) continue;
            result = (self->*e.notify)(hdr);
            return true;
        }
        if (e.declinable) {
            std::optional<LRESULT> taken = (self->*e.declinable)(wp, lp);
            if (!taken) return false;
            result = *taken;
            return true;
        }
        result = (self->*e.message_handler)(wp, lp);
        return true;
    }
    return false;
}

// A modal dialog made from a template. The dialog procedure keeps `this` in
// DWLP_USER from WM_INITDIALOG until WM_NCDESTROY and routes every message through
// the class's message table (ProcessMessage), after handing control
// notifications back to the control objects attached by data exchange.
class Dialog : public Window {
public:
    explicit Dialog(UINT templateId, HWND parent = nullptr) : templateId_(templateId), parent_(parent) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    // Runs DoDataExchange; false when a value could not be taken.
    bool UpdateData(bool save = true);
    UINT TemplateId() const { return templateId_; }

    virtual bool ProcessMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

protected:
    virtual BOOL OnInitDialog();  // the first exchange, members → controls
    virtual void OnOK();          // exchange controls → members, then end with IDOK
    virtual void OnCancel();      // end with IDCANCEL
    virtual void DoDataExchange(DataExchange&) {}

private:
    static INT_PTR CALLBACK DialogProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

    UINT templateId_;
    HWND parent_;
};

}  // namespace win

// Message tables: declare in the class, define in the .cpp:
//   TW_BEGIN_MSG_TABLE(CMyDlg, win::Dialog)
//     TW_ON_COMMAND(IDC_GO, OnGo)              // void OnGo()
//     TW_ON_NOTIFY(NM_CLICK, IDC_TREE, OnClick) // LRESULT OnClick(NMHDR*)
//     TW_ON_MESSAGE(WM_PAINT, OnPaint)         // LRESULT OnPaint(WPARAM, LPARAM)
//     TW_ON_MESSAGE_OR_DEFAULT(WM_SIZE, OnSize) // std::optional<LRESULT> OnSize(WPARAM, LPARAM):
//                                              //   no value = default processing
//   TW_END_MSG_TABLE()
#define TW_DECLARE_MSG_TABLE() \
    bool ProcessMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override

#define TW_BEGIN_MSG_TABLE(Class, Base)                                           \
    bool Class::ProcessMessage(UINT msg_, WPARAM wp_, LPARAM lp_, LRESULT& res_) { \
        using ThisClass = Class;                                                  \
        using BaseClass = Base;                                                   \
        static const ::win::MsgEntry<Class> table_[] = {

#define TW_ON_COMMAND(id, fn) {WM_COMMAND, static_cast<UINT>(id), 0, &ThisClass::fn, nullptr, nullptr, nullptr},
#define TW_ON_COMMAND_CODE(id, code, fn) \
    {WM_COMMAND, static_cast<UINT>(id), static_cast<UINT>(code), &ThisClass::fn, nullptr, nullptr, nullptr},
#define TW_ON_NOTIFY(code, id, fn) \
    {WM_NOTIFY, static_cast<UINT>(id), static_cast<UINT>(code), nullptr, &ThisClass::fn, nullptr, nullptr},
#define TW_ON_MESSAGE(msg, fn) {static_cast<UINT>(msg), 0, 0, nullptr, nullptr, &ThisClass::fn, nullptr},
#define TW_ON_MESSAGE_OR_DEFAULT(msg, fn) {static_cast<UINT>(msg), 0, 0, nullptr, nullptr, nullptr, &ThisClass::fn},

#define TW_END_MSG_TABLE()                                                                   \
        };                                                                                   \
        if (::win::DispatchTable(this, table_, sizeof(table_) / sizeof(table_[0]), msg_, wp_, \
                                 lp_, res_))                                                 \
            return true;                                                                     \
        return BaseClass::ProcessMessage(msg_, wp_, lp_, res_);                              \
    }
