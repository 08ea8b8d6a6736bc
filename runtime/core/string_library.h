// The string library: its private heap and the shared work buffer. The text
// functions return their own strings, so the buffer is only made and freed.
#pragma once

#include <cstdint>

#include "platform/win32/types.h"

struct StringWorkBuffer {
  char16_t* data;
  std::int32_t position;  // bytes
  std::int32_t capacity;  // bytes
};

// Creates the string heap and a 16-byte work buffer in it; false on failure.
bool string_library_init();
// Frees the work buffer and destroys the string heap.
void string_library_end();
HANDLE string_heap();
// Null before init and after end.
const StringWorkBuffer* string_work_buffer();
