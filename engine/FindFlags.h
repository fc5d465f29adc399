#pragma once
#include <cstdint>

// Run-state word of a search: assigned by the window thread, read by the worker.
constexpr uint32_t FIND_RUNNING = 1;
constexpr uint32_t FIND_STOP = 8;
constexpr uint32_t FIND_END_MASK = 0xC;
// The low bits of a run, cleared when its worker has been joined.
constexpr uint32_t FIND_RUN_MASK = 7;

// Thrown by the stop tests; whoever catches it catches everything.
struct StopSignal {
    uint32_t value;
};

// Throws when the flags carry a stop bit (mask 0xC); returns 0 otherwise.
int CheckFindStop(uint32_t flags);

// Throws when the closing flag is set.
void CheckClosing(int32_t value);
