#include "view/ResultText.h"

#include <cstring>

#include "win/Format.h"

std::wstring SizeText(uint64_t size) {
    if (size >= 1048576) return win::Format(L"%.3fM", static_cast<double>(size) / 1048576.0);
    if (size >= 1024) return win::Format(L"%.3fK", static_cast<double>(size) / 1024.0);
    return win::Format(L"%dByte", static_cast<int>(size));
}

bool SplitPath(const std::wstring& path, std::wstring& folder, std::wstring& name) {
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) return false;
    folder = path.substr(0, slash);
    name = path.substr(slash + 1);
    return true;
}

std::wstring FileNameOfPath(const std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(slash + 1);
}

bool CopyTextToClipboard(const std::wstring& text, HWND owner) {
    if (text.empty() || !OpenClipboard(owner)) return false;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    bool ok = false;
    if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* p = GlobalLock(mem)) {
            std::memcpy(p, text.c_str(), bytes);
            GlobalUnlock(mem);
            // From here on the clipboard owns the memory.
            ok = SetClipboardData(CF_UNICODETEXT, mem) != nullptr;
        }
        if (!ok) GlobalFree(mem);
    }
    CloseClipboard();
    return ok;
}
