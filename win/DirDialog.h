#pragma once
#include <string>
#include <windows.h>

// The shell's folder browser, for one use. Set Title and InitialFolder, then DoBrowse.
class CDirDialog {
public:
    explicit CDirDialog(bool newStyle = false) : NewStyle(newStyle) {}
    virtual ~CDirDialog() = default;

    // True when a folder with a file-system path was chosen; it is in SelectedPath.
    bool DoBrowse(HWND parent = nullptr);

    // Called for each new selection (path empty for a virtual folder); the result
    // enables or disables OK. statusText is for derived classes.
    virtual bool SelChanged(const std::wstring& path, std::wstring& statusText);

    wchar_t SelectedPath[MAX_PATH] = {};
    std::wstring InitialFolder;
    std::wstring Title;     // shown above the tree; "Open" when empty
    int ImageIndex = 0;
    bool NewStyle;          // new-style browser with an edit box

private:
    static int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM param, LPARAM data);
    static void CALLBACK RetryInitialFolder(HWND window, UINT, UINT_PTR timer, DWORD);
    void ApplyInitialFolder(HWND window);

    // The browser may ignore the first selection while it is still filling its tree;
    // the initial folder is tried again until a selection follows or the user acts.
    bool m_selectionSeen = false;
    int m_tries = 0;
};
