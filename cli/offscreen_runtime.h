// The runtime started and shut down around one piece of command-line work,
// offscreen: the virtual clock starts afresh and is forgotten after.
#pragma once

#include "platform/offscreen.h"
#include "runtime/core/startup.h"

// Runs `work` between the runtime's start-up and shut-down and returns what
// it returns, or EXIT_CODE_NO_HEAP when the runtime cannot start.
template <typename Work>
int on_offscreen_runtime(Work work) {
  offscreen_begin();
  if (!program_begin()) return EXIT_CODE_NO_HEAP;
  // Shut down on the way out of a failed allocation too, so that the caller
  // finds the runtime as it was before.
  struct RuntimeEnd {
    ~RuntimeEnd() {
      program_end();
      offscreen_end();
    }
  } end;
  return work();
}
