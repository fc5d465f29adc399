#pragma once
#include <windows.h>

class CTwinseekDlg;

// The start-up update check's thread. It works on the main window's members, so the
// window object must not go before it: the destructor waits for it to end. In the
// program the process ends first; tests create and destroy main windows.
class CStartupCheckThread {
public:
    CStartupCheckThread() = default;
    ~CStartupCheckThread();
    CStartupCheckThread(const CStartupCheckThread&) = delete;
    CStartupCheckThread& operator=(const CStartupCheckThread&) = delete;

    // Runs UpdateThreadProc (wnd) once.
    bool Start(CTwinseekDlg* wnd);

private:
    HANDLE Thread = nullptr;
};
