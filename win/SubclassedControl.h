#pragma once
#include "win/Window.h"

namespace win {

// Base of the program's control classes. A control object attaches to an existing
// window by subclassing (its window procedure replaced, the old one called for the
// rest) and gets its messages through WindowProc. The dialog that holds it hands back the notifications the control
// sent to it (WM_NOTIFY, WM_COMMAND, WM_CTLCOLOR*) through OnReflect first, so a
// control can handle its own clicks and colours.
class SubclassedControl : public Window {
public:
    SubclassedControl() = default;
    virtual ~SubclassedControl();
    SubclassedControl(const SubclassedControl&) = delete;
    SubclassedControl& operator=(const SubclassedControl&) = delete;

    bool SubclassWindow(HWND h);
    void UnsubclassWindow();
    bool IsAttached() const { return hwnd_ != nullptr; }

    // The control object attached to a window, or null.
    static SubclassedControl* FromHandle(HWND h);

    // A notification this control sent to its parent; return true when handled.
    // Must return false for notifications the control forwards on purpose.
    virtual bool OnReflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

protected:
    // Runs right after attachment, before any message reaches WindowProc.
    virtual void OnSubclassed() {}
    // The control's own messages; the default passes them on unchanged.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Default(UINT msg, WPARAM wp, LPARAM lp);

private:
    static LRESULT CALLBACK SubclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);
};

}  // namespace win
