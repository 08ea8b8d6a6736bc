// The main heap: created first by the program entry, destroyed last.
#include "runtime/core/heaps.h"

#include "platform/win32/kernel32.h"

namespace {

// Private heaps start small and grow on demand.
constexpr SIZE_T HEAP_INITIAL_SIZE = 4096;

HANDLE main_heap_handle = nullptr;

}  // namespace

HANDLE main_heap() { return main_heap_handle; }

bool main_heap_create() {
  if (!main_heap_handle) main_heap_handle = HeapCreate(0, HEAP_INITIAL_SIZE, 0);
  return main_heap_handle != nullptr;
}

void main_heap_destroy() {
  if (main_heap_handle) HeapDestroy(main_heap_handle);
  main_heap_handle = nullptr;
}
