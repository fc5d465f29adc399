#pragma once
// Helpers for tests that drive real windows: the test thread runs a modal loop,
// a driver thread acts as a user would through window messages.
#include <windows.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

namespace ui {

// Polls pred every 10 ms until it holds or the time runs out.
bool WaitUntil(const std::function<bool()>& pred, int timeoutMs = 5000);

// A visible top-level window of this process whose caption equals `caption`
// (any caption when empty) and whose class is `cls` (any when null).
HWND FindTopWindow(const std::wstring& caption, const wchar_t* cls = L"#32770");
HWND WaitForTopWindow(const std::wstring& caption, const wchar_t* cls = L"#32770", int timeoutMs = 5000);
// A top-level dialog of this process whose static 65535 (a message box's text) reads `text`.
HWND WaitForMessageBox(const std::wstring& text, int timeoutMs = 5000);
// A visible dialog of this process, none of `except`, for which `pred` holds.
HWND WaitForDialog(const std::function<bool(HWND)>& pred, std::initializer_list<HWND> except = {},
                   int timeoutMs = 5000);
// Answers the message box that reads `text` with `button`; false when none came or it stayed.
bool AnswerMessageBox(const std::wstring& text, int button = IDOK, int timeoutMs = 5000);
// Waits until the window is gone.
bool WaitForClose(HWND h, int timeoutMs = 5000);

std::wstring Text(HWND h);
std::wstring ItemText(HWND dialog, int id);
// Text of a message box (its static control 65535).
std::wstring MessageBoxText(HWND box);

// Paths compared as the file system does, without regard to case.
inline bool SamePath(const std::wstring& a, const std::wstring& b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// The folder tree of a folder picker: its child in the old style, one level deeper in the new.
HWND PickerTree(HWND picker);
// Text of a tree's selected item; empty without one.
std::wstring CaretText(HWND tree);

// The texts of one column of a list view, top to bottom.
std::vector<std::wstring> ListColumn(HWND list, int column);
// A left click in the middle of a list view's header item, handled before this returns.
void ClickHeader(HWND list, int column);

// The text a tooltip holds for the window `tool` (its tool 1).
std::wstring TooltipText(HWND tooltip, HWND tool);

// Check boxes and radio buttons of a dialog.
bool Ticked(HWND dialog, int id);
void SetTick(HWND dialog, int id, bool on);

// Presses a button of a dialog without waiting for what it opens.
void PressButton(HWND dialog, int id);
// Presses a button of a dialog and returns once the press is handled.
void PressButtonNow(HWND dialog, int id);
// Sends a command as a menu would, without waiting.
void PostCommand(HWND window, int id);
// Sets an edit's text synchronously.
void SetItemText(HWND dialog, int id, const std::wstring& text);

// Runs `modal` (which opens a modal window and returns when it closes) on the
// calling thread while `driver` runs on a second thread. If the driver returns
// and the modal loop has not ended after `timeoutMs`, every window of this
// process's thread is closed so the test cannot hang.
void RunModal(const std::function<void()>& modal, const std::function<void()>& driver, int timeoutMs = 20000);

}  // namespace ui
