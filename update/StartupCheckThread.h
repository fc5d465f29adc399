#pragma once
#include <windows.h>

#include "win/Handles.h"

// The start-up update check's thread. Its work uses the main window's members, so the
// window object must not go before it: the destructor waits for it to end. In the
// program the process ends first; tests create and destroy main windows.
class CStartupCheckThread {
public:
    CStartupCheckThread() = default;
    ~CStartupCheckThread();
    CStartupCheckThread(const CStartupCheckThread&) = delete;
    CStartupCheckThread& operator=(const CStartupCheckThread&) = delete;

    // Runs entry(arg) once, on its own thread.
    bool Start(unsigned(__stdcall* entry)(void*), void* arg);

private:
    win::UniqueHandle Thread;
};
