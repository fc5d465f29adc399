#pragma once

// Every path that ends the program (close, exit, the update notice's exit button)
// goes through here, so tests can replace the ending and survive it.
using EndProcessHook = void (*)(int code);

// Ends the process through the runtime's normal exit (static objects are
// destroyed; worker threads are not waited for) unless a hook is set.
void EndProcess(int code);
void SetEndProcessHook(EndProcessHook hook);
