#include "win/ProcessExit.h"

#include <atomic>
#include <cstdlib>

namespace {
std::atomic<EndProcessHook> g_hook{nullptr};
}

void SetEndProcessHook(EndProcessHook hook) { g_hook = hook; }

void EndProcess(int code) {
    if (EndProcessHook hook = g_hook) {
        hook(code);
        return;
    }
    std::exit(code);
}
