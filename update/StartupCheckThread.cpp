#include "update/StartupCheckThread.h"

#include "app/TwinseekDlg.h"
#include "win/Threads.h"

namespace {
unsigned __stdcall StartupCheckEntry(void* wnd) { return UpdateThreadProc(static_cast<CTwinseekDlg*>(wnd)); }
}  // namespace

bool CStartupCheckThread::Start(CTwinseekDlg* wnd) {
    if (Thread) return false;
    Thread = win::StartThread(StartupCheckEntry, wnd);
    return Thread != nullptr;
}

CStartupCheckThread::~CStartupCheckThread() {
    if (!Thread) return;
    // Safe: the check only posts to the window, it never waits for the window's thread.
    WaitForSingleObject(Thread, INFINITE);
    CloseHandle(Thread);
}
