// One-time initialisation shared by threads.
#pragma once

#include "platform/win32/types.h"

// Zero-initialise (static storage or a zero-filled record). Pointer-sized so
// that the system's INIT_ONCE fits in it where the system offers one.
union RunOnceWord {
  volatile LONG state;
  void* init_once;
};

using RunOnceFunction = void (*)();

// Calls function exactly once per word; callers that come while it runs wait
// until it has finished.
void run_once(RunOnceWord* word, RunOnceFunction function);
