#pragma once
// Reading and clicking the results tree of the main window from a driver thread.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/TwinseekDlg.h"

namespace ui {

// The main window of a test: opened on the test thread, driven by `steps` on a
// second thread, closed afterwards. Settings come from a fresh temporary folder.
class MainWindowRun {
public:
    // Setting.ini content of the temporary program folder (may be empty).
    explicit MainWindowRun(const std::string& settings = "");
    ~MainWindowRun();
    void Run(const std::function<void(HWND)>& steps, int timeoutMs = 60000);

    CTwinseekDlg dlg;
    HWND tree() { return dlg.ResultTree.GetTreeCtrl(); }
    // The program folder this window's settings live in.
    const std::wstring& Folder() const { return dir_; }

private:
    std::wstring dir_;
};

std::vector<HTREEITEM> Roots(HWND tree);
std::vector<HTREEITEM> Children(HWND tree, HTREEITEM item);
std::wstring Label(HWND tree, HTREEITEM item);
// The pieces of a row, TAB-joined the way the labels hold them, e.g. "2\ta.txt\t...".
std::vector<std::wstring> Pieces(HWND tree, HTREEITEM item);
// A file row's path column.
inline std::wstring PathOf(HWND tree, HTREEITEM row) { return Pieces(tree, row)[2]; }
bool Checked(HWND tree, HTREEITEM item);
bool Expanded(HWND tree, HTREEITEM item);
// Every row of the results as it reads: each group's label and expansion, then its
// file rows, in order.
std::vector<std::wstring> AllRows(HWND tree);

// Points in the tree's client coordinates.
POINT CheckBoxPoint(HWND tree, HTREEITEM item);
POINT ExpandButtonPoint(HWND tree, HTREEITEM item);
POINT LabelPoint(HWND tree, HTREEITEM item);
// A point inside column `column` of the row (widths as the column tree has them).
POINT ColumnPoint(CColumnTreeCtrl& ctrl, HTREEITEM item, int column);
POINT ToScreen(HWND w, POINT p);
// A control's rectangle in its dialog's client coordinates.
RECT ChildRect(HWND dialog, int id);

// A left click (or double click) at a tree point, with the cursor put there first as
// the notifications read it; returns once the window thread has handled it.
void Click(HWND main, HWND tree, POINT p);
void DoubleClick(HWND main, HWND tree, POINT p);
void RightClick(HWND tree, POINT p);
// Returns once every message posted to the window thread before it is handled.
void Barrier(HWND main);

std::wstring ClipboardText();

// Types `folder` into the folder field and starts a search on it.
void StartSearch(HWND main, const std::wstring& folder);
// Stops the search (when one runs) and waits until its worker has been joined.
void StopSearch(HWND main, CTwinseekDlg& dlg);

}  // namespace ui
