// General memory blocks from the memory heap (the PNG encoder's memory target).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32/types.h"

// memory_alloc flag: leave the block uncleared (without it blocks are zero-filled).
inline constexpr std::uint32_t MEMORY_NO_CLEAR = 1;

// Start-up creates the memory heap; the last shut-down step destroys it with
// every block still in it.
bool memory_library_init();
void memory_library_end();
HANDLE memory_heap();

// Null for size <= 0 or an exhausted heap.
void* memory_alloc(std::ptrdiff_t size, std::uint32_t flags);
void memory_free(void* block);
// A null block is memory_alloc(size, 0); growth is zero-filled; the block may
// move. Null (the old block untouched) for size <= 0 or an exhausted heap.
void* memory_realloc(void* block, std::ptrdiff_t size);
