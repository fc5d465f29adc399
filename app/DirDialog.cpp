#include "app/DirDialog.h"

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

}  // namespace

bool CDirDialog::SelChanged(const std::wstring&, std::wstring&) { return true; }

int CALLBACK CDirDialog::BrowseCallback(HWND window, UINT message, LPARAM param, LPARAM data) {
    CDirDialog* self = reinterpret_cast<CDirDialog*>(data);
    if (message == BFFM_INITIALIZED) {
        if (!self->InitialFolder.empty())
            SendMessageW(window, BFFM_SETSELECTIONW, TRUE,
                         reinterpret_cast<LPARAM>(self->InitialFolder.c_str()));
    } else if (message == BFFM_SELCHANGED) {
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
