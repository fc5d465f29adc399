#include "engine/FindFlags.h"

int CheckFindStop(uint32_t flags) {
    if (flags & FIND_END_MASK) throw StopSignal{flags};
    return 0;
}

void CheckClosing(int32_t value) {
    if (value != 0) throw StopSignal{static_cast<uint32_t>(value)};
}
