// Prefers the system's InitOnceExecuteOnce; without it (always so on Linux)
// the word is a state machine: 0 not run, 1 running, 2 done.
#include "runtime/core/run_once.h"

#include "platform/win32/kernel32.h"

namespace {

constexpr LONG NOT_RUN = 0;
constexpr LONG RUNNING = 1;
constexpr LONG DONE = 2;

using InitOnceCallback = BOOL (*)(void* init_once, void* parameter, void** context);
using InitOnceExecuteOnceFunction = BOOL (*)(void* init_once, InitOnceCallback callback, void* parameter,
                                             void** context);

BOOL call_run_once_function(void*, void* parameter, void**) {
  (*static_cast<RunOnceFunction*>(parameter))();
  return TRUE;
}

// True if the system ran (or had already run) the function on the word.
bool run_through_system(RunOnceWord* word, RunOnceFunction function) {
  HMODULE kernel32 = LoadLibraryA("Kernel32.dll");
  if (!kernel32) return false;
  auto execute_once =
      reinterpret_cast<InitOnceExecuteOnceFunction>(GetProcAddress(kernel32, "InitOnceExecuteOnce"));
  bool ran = false;
  if (execute_once) {
    execute_once(&word->init_once, call_run_once_function, &function, nullptr);
    ran = true;
  }
  FreeLibrary(kernel32);
  return ran;
}

void run_interlocked(RunOnceWord* word, RunOnceFunction function) {
  LONG found = InterlockedCompareExchange(&word->state, RUNNING, NOT_RUN);
  if (found == NOT_RUN) {
    function();
    InterlockedExchange(&word->state, DONE);
    return;
  }
  while (InterlockedCompareExchange(&word->state, DONE, DONE) != DONE) Sleep(0);
}

}  // namespace

void run_once(RunOnceWord* word, RunOnceFunction function) {
  if (!word || !function) return;
  if (run_through_system(word, function)) return;
  run_interlocked(word, function);
}
