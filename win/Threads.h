#pragma once
#include <functional>
#include <windows.h>

namespace win {

// Starts a worker that ends by itself; nobody waits for it and its handle is
// closed at once. Exceptions stop at the thread's entry. False when it could not start.
bool StartWorker(std::function<void()> work);

// Starts a plain runtime thread whose handle the caller keeps and closes;
// null when it could not start.
HANDLE StartThread(unsigned(__stdcall* entry)(void*), void* arg);

}  // namespace win
