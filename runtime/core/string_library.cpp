#include "runtime/core/string_library.h"

#include "platform/win32/kernel32.h"

namespace {

constexpr SIZE_T HEAP_INITIAL_SIZE = 4096;
constexpr std::int32_t WORK_BUFFER_INITIAL_CAPACITY = 16;

HANDLE string_heap_handle = nullptr;
StringWorkBuffer work_buffer{};

}  // namespace

bool string_library_init() {
  if (string_heap_handle) return true;
  string_heap_handle = HeapCreate(0, HEAP_INITIAL_SIZE, 0);
  if (!string_heap_handle) return false;
  work_buffer.data = static_cast<char16_t*>(HeapAlloc(string_heap_handle, 0, WORK_BUFFER_INITIAL_CAPACITY));
  if (!work_buffer.data) {
    string_library_end();
    return false;
  }
  work_buffer.position = 0;
  work_buffer.capacity = WORK_BUFFER_INITIAL_CAPACITY;
  return true;
}

void string_library_end() {
  if (!string_heap_handle) return;
  if (work_buffer.data) HeapFree(string_heap_handle, 0, work_buffer.data);
  work_buffer = StringWorkBuffer{};
  HeapDestroy(string_heap_handle);
  string_heap_handle = nullptr;
}

HANDLE string_heap() { return string_heap_handle; }

const StringWorkBuffer* string_work_buffer() { return work_buffer.data ? &work_buffer : nullptr; }
