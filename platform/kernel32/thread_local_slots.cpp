// Thread-local slots. Each slot index carries a generation that TlsAlloc
// advances, so a thread's value from before TlsFree reads as null in the
// slot's next life, as Win32's zero-filling of reallocated slots does.
#include <array>
#include <atomic>
#include <mutex>
#include <new>
#include <vector>

#include "platform/call_watch.h"
#include "platform/win32/kernel32.h"

namespace {

// Win32's 64 slots plus its 1024 expansion slots.
constexpr DWORD SLOT_COUNT = 1088;

struct SlotTable {
  std::mutex lock;
  std::array<std::atomic<bool>, SLOT_COUNT> in_use{};
  std::array<std::atomic<unsigned>, SLOT_COUNT> generation{};
};

SlotTable& slots() {
  static SlotTable* instance = new SlotTable;
  return *instance;
}

struct ThreadValue {
  unsigned generation = 0;
  LPVOID value = nullptr;
};

thread_local std::vector<ThreadValue> thread_values;

bool index_in_use(DWORD index) {
  if (index < SLOT_COUNT && slots().in_use[index].load(std::memory_order_acquire)) return true;
  SetLastError(ERROR_INVALID_PARAMETER);
  return false;
}

}  // namespace

DWORD TlsAlloc() {
  call_noted(nullptr, "TlsAlloc");
  SlotTable& table = slots();
  std::lock_guard guard(table.lock);
  for (DWORD index = 0; index < SLOT_COUNT; ++index) {
    if (table.in_use[index].load(std::memory_order_relaxed)) continue;
    table.generation[index].fetch_add(1, std::memory_order_relaxed);
    table.in_use[index].store(true, std::memory_order_release);
    return index;
  }
  SetLastError(ERROR_NO_MORE_ITEMS);
  return TLS_OUT_OF_INDEXES;
}

BOOL TlsFree(DWORD index) {
  SlotTable& table = slots();
  std::lock_guard guard(table.lock);
  if (!index_in_use(index)) return FALSE;
  table.in_use[index].store(false, std::memory_order_release);
  return TRUE;
}

BOOL TlsSetValue(DWORD index, LPVOID value) {
  if (!index_in_use(index)) return FALSE;
  if (thread_values.size() <= index) {
    try {
      thread_values.resize(index + 1);
    } catch (const std::bad_alloc&) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return FALSE;
    }
  }
  thread_values[index] = {slots().generation[index].load(std::memory_order_relaxed), value};
  return TRUE;
}

// Clears the last error on success, so that a stored null can be told from a failure.
LPVOID TlsGetValue(DWORD index) {
  if (!index_in_use(index)) return nullptr;
  SetLastError(ERROR_SUCCESS);
  if (index >= thread_values.size()) return nullptr;
  const ThreadValue& entry = thread_values[index];
  return entry.generation == slots().generation[index].load(std::memory_order_relaxed) ? entry.value : nullptr;
}
