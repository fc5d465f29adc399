#include "win/CommonControls.h"

#include <windows.h>
#include <shlwapi.h>

#include "win/Handles.h"

namespace win {

int CommonControlsMajorVersion() {
    LibraryHandle lib(L"comctl32.dll");
    if (!lib) return 0;
    auto get = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(GetProcAddress(lib.get(), "DllGetVersion")));
    if (!get) return 0;
    DLLVERSIONINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(get(&info))) return 0;
    return static_cast<int>(info.dwMajorVersion);
}

}  // namespace win
