#include "runtime/core/memory.h"

#include "platform/win32/kernel32.h"

namespace {

constexpr SIZE_T HEAP_INITIAL_SIZE = 4096;

HANDLE memory_heap_handle = nullptr;

}  // namespace

bool memory_library_init() {
  if (!memory_heap_handle) memory_heap_handle = HeapCreate(0, HEAP_INITIAL_SIZE, 0);
  return memory_heap_handle != nullptr;
}

void memory_library_end() {
  if (memory_heap_handle) HeapDestroy(memory_heap_handle);
  memory_heap_handle = nullptr;
}

HANDLE memory_heap() { return memory_heap_handle; }

void* memory_alloc(std::ptrdiff_t size, std::uint32_t flags) {
  if (size <= 0) return nullptr;
  DWORD heap_flags = (flags & MEMORY_NO_CLEAR) ? 0 : HEAP_ZERO_MEMORY;
  return HeapAlloc(memory_heap_handle, heap_flags, static_cast<SIZE_T>(size));
}

void memory_free(void* block) {
  if (block) HeapFree(memory_heap_handle, 0, block);
}

void* memory_realloc(void* block, std::ptrdiff_t size) {
  if (size <= 0) return nullptr;
  if (!block) return memory_alloc(size, 0);
  return HeapReAlloc(memory_heap_handle, HEAP_ZERO_MEMORY, block, static_cast<SIZE_T>(size));
}
