#include "win/SaveFileDialog.h"

#include <commdlg.h>

#include <vector>

namespace win {

bool SaveFileDialog(HWND owner, const std::wstring& filter, DWORD flags, std::wstring& path) {
    // The dialog wants NUL between the parts and two at the end.
    std::wstring parts = filter;
    for (wchar_t& c : parts)
        if (c == L'|') c = L'\0';
    parts.push_back(L'\0');
    parts.push_back(L'\0');

    // Room for long paths; the dialog cuts nothing that fits here.
    std::vector<wchar_t> name(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = parts.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    // The dialog would leave the current folder where the file went: a drive given
    // as "D:" then names that folder instead of the root.
    ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&ofn)) return false;
    path = name.data();
    return true;
}

}  // namespace win
