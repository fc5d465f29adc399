#pragma once
#include <string>
#include "win/Window.h"

namespace win {

class SubclassedControl;

// One pass of dialog data exchange: with save set, controls → members, else
// members → controls. A value that cannot be taken (a bad integer) shows its
// message, puts the focus on the control and ends the pass with Failure.
class DataExchange {
public:
    struct Failure {};

    DataExchange(HWND dialog, bool save) : dialog_(dialog), save_(save) {}
    bool saving() const { return save_; }
    HWND dialog() const { return dialog_; }

    void Text(int id, std::wstring& value);
    void Int(int id, int& value);
    void Check(int id, int& value);
    // A group of radio buttons starting at firstId (which carries WS_GROUP);
    // value is the index of the checked one, -1 when none.
    void Radio(int firstId, int& value);
    // Attaches a plain wrapper, or subclasses a control object once.
    void Control(int id, Window& control);
    void Control(int id, SubclassedControl& control);

    // Parses an integer the way the exchange does: blanks around an optional
    // sign and digits, nothing else.
    static bool ParseInt(const std::wstring& text, int& value);

private:
    HWND Item(int id) const;
    [[noreturn]] void Fail(HWND control, const wchar_t* message);

    HWND dialog_;
    bool save_;
};

}  // namespace win
