#include "update/StartupCheckThread.h"

#include "win/Threads.h"

bool CStartupCheckThread::Start(unsigned(__stdcall* entry)(void*), void* arg) {
    if (Thread) return false;
    Thread.reset(win::StartThread(entry, arg));
    return static_cast<bool>(Thread);
}

CStartupCheckThread::~CStartupCheckThread() {
    // Safe: the check only posts to the window, it never waits for the window's thread.
    if (Thread) WaitForSingleObject(Thread.get(), INFINITE);
}
