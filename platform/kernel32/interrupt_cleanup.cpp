#include "platform/kernel32/interrupt_cleanup.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <mutex>

namespace {

constexpr int SLOT_COUNT = 16;
constexpr std::size_t SLOT_PATH_SIZE = 4096;
constexpr int WATCHED_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

enum SlotState : int { SLOT_FREE, SLOT_FILLING, SLOT_WATCHED };

// Fixed storage: the signal handler may only read memory, never allocate.
struct Slot {
  std::atomic<int> state{SLOT_FREE};
  char path[SLOT_PATH_SIZE];
};

Slot slots[SLOT_COUNT];

void remove_watched_and_end(int signal_number) {
  for (Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) == SLOT_WATCHED) ::unlink(slot.path);
  }
  // The handler was reset on entry: the signal now ends the process as it
  // would have without us.
  ::raise(signal_number);
}

// Only where the program left the default action: a program that handles or
// ignores these signals itself keeps its own way.
void install_handlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int signal_number : WATCHED_SIGNALS) {
      struct sigaction current {};
      if (sigaction(signal_number, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) continue;
      struct sigaction cleanup {};
      cleanup.sa_handler = remove_watched_and_end;
      cleanup.sa_flags = SA_RESETHAND | SA_NODEFER;
      sigemptyset(&cleanup.sa_mask);
      sigaction(signal_number, &cleanup, nullptr);
    }
  });
}

}  // namespace

bool interrupt_cleanup_watch(const std::string& path) {
  if (path.size() >= SLOT_PATH_SIZE) return false;
  install_handlers();
  for (Slot& slot : slots) {
    int expected = SLOT_FREE;
    if (!slot.state.compare_exchange_strong(expected, SLOT_FILLING, std::memory_order_acquire)) continue;
    std::memcpy(slot.path, path.c_str(), path.size() + 1);
    slot.state.store(SLOT_WATCHED, std::memory_order_release);
    return true;
  }
  return false;
}

void interrupt_cleanup_forget(const std::string& path) {
  for (Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) != SLOT_WATCHED || path != slot.path) continue;
    int expected = SLOT_WATCHED;
    slot.state.compare_exchange_strong(expected, SLOT_FREE, std::memory_order_release);
  }
}
