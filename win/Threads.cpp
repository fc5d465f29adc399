#include "win/Threads.h"

#include <process.h>

namespace win {

namespace {

unsigned __stdcall WorkerEntry(void* arg) {
    auto* work = static_cast<std::function<void()>*>(arg);
    try {
        (*work)();
    } catch (...) {
        // Workers end quietly; what they report goes to the status line.
    }
    delete work;
    return 0;
}

}  // namespace

bool StartWorker(std::function<void()> work) {
    auto* heap = new std::function<void()>(std::move(work));
    HANDLE h = StartThread(WorkerEntry, heap);
    if (!h) {
        delete heap;
        return false;
    }
    CloseHandle(h);
    return true;
}

HANDLE StartThread(unsigned(__stdcall* entry)(void*), void* arg) {
    uintptr_t h = _beginthreadex(nullptr, 0, entry, arg, 0, nullptr);
    return reinterpret_cast<HANDLE>(h);
}

}  // namespace win
