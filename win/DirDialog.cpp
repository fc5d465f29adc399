#include "win/DirDialog.h"

#include <cwctype>
#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include "win/Handles.h"

namespace {

// Drops trailing blanks and one trailing separator, but keeps the backslash of a
// drive root: "D:" alone would not select anything.
std::wstring TrimFolder(std::wstring folder) {
    while (!folder.empty() && std::iswspace(folder.back())) folder.pop_back();
    if (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) {
        bool driveRoot = folder.size() == 3 && folder[1] == L':';
        if (!driveRoot) folder.pop_back();
    }
    return folder;
}

constexpr int kInitialFolderTries = 20;
constexpr UINT kInitialFolderRetryMs = 250;

}  // namespace

bool CDirDialog::SelChanged(const std::wstring&, std::wstring&) { return true; }

// Under load the browser can return from BFFM_SETSELECTION having selected nothing
// (no BFFM_SELCHANGED follows), leaving the user at the desktop.
void CDirDialog::ApplyInitialFolder(HWND window) {
    SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(InitialFolder.c_str()));
    UINT_PTR timer = reinterpret_cast<UINT_PTR>(this);
    if (m_selectionSeen || ++m_tries >= kInitialFolderTries)
        KillTimer(window, timer);
    else
        SetTimer(window, timer, kInitialFolderRetryMs, &CDirDialog::RetryInitialFolder);
}

void CALLBACK CDirDialog::RetryInitialFolder(HWND window, UINT, UINT_PTR timer, DWORD) {
    CDirDialog* self = reinterpret_cast<CDirDialog*>(timer);
    if (self->m_selectionSeen)
        KillTimer(window, timer);   // the user chose meanwhile: never move their selection
    else
        self->ApplyInitialFolder(window);
}

int CALLBACK CDirDialog::BrowseCallback(HWND window, UINT message, LPARAM param, LPARAM data) {
    CDirDialog* self = reinterpret_cast<CDirDialog*>(data);
    if (message == BFFM_INITIALIZED) {
        self->m_selectionSeen = false;
        self->m_tries = 0;
        if (!self->InitialFolder.empty()) self->ApplyInitialFolder(window);
    } else if (message == BFFM_SELCHANGED) {
        // Any selection, ours or the user's, ends the retries.
        self->m_selectionSeen = true;
        wchar_t path[MAX_PATH] = {};
        if (!SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), path)) path[0] = 0;
        std::wstring status;
        bool enable = self->SelChanged(path, status);
        SendMessageW(window, BFFM_ENABLEOK, 0, enable ? 1 : 0);
    }
    return 0;
}

bool CDirDialog::DoBrowse(HWND parent) {
    if (!InitialFolder.empty()) InitialFolder = TrimFolder(InitialFolder);

    win::ComPtr<IMalloc> allocator;
    if (FAILED(SHGetMalloc(allocator.put())) || !allocator) return false;

    // The browser needs OLE on this thread (the new style does); balance our call.
    bool oleInitialized = SUCCEEDED(OleInitialize(nullptr));

    BROWSEINFOW info = {};
    info.hwndOwner = parent;
    info.pszDisplayName = SelectedPath;
    info.lpszTitle = Title.empty() ? L"Open" : Title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    if (NewStyle) info.ulFlags |= BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = &CDirDialog::BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(this);

    bool found = false;
    if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info)) {
        ImageIndex = info.iImage;
        found = SHGetPathFromIDListW(item, SelectedPath) != FALSE;
        allocator->Free(item);
    }
    if (oleInitialized) OleUninitialize();
    return found;
}
