#include "fuzz/fuzz_shell.h"

#include <cstdlib>
#include <optional>

#include "app/shell.h"
#include "platform/backend/headless/headless.h"
#include "platform/backend/headless/headless_state.h"
#include "runtime/core/startup.h"
#include "runtime/gui/event_loop.h"

void fuzz_shell_start() {
  backend_select(nullptr);
  headless_reset();
  if (!program_begin() || !shell_start_with(std::nullopt)) std::abort();
}

void fuzz_shell_idle() {
  while (event_wait(0) != 0) {
  }
  headless_state().shown.clear();
}
