#include "runtime/core/library_state.h"

#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"

void* library_state_create(std::int32_t size, LibraryStateCallback init, LibraryStateCallback) {
  if (size < 1) return nullptr;
  void* state = HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(size));
  if (state && init) init(state);
  return state;
}

void* library_state_get(void* state) { return state; }
