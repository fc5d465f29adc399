#pragma once
#include <string>
#include <windows.h>

namespace win {

// The application's main window: owner of dialogs and message boxes that are
// opened without one, so the main window is disabled while they are up.
void SetAppMainWindow(HWND h);
HWND GetAppMainWindow();
// The owner a parentless modal window should get on the calling thread.
HWND GetSafeOwner(HWND self = nullptr);

// The executable's file name without extension: the caption of AppMessageBox.
std::wstring AppName();

int MessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);
// Message box owned by the main window with the application's name as caption.
int AppMessageBox(const std::wstring& text, UINT type = MB_OK);

}  // namespace win
