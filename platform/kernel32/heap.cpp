// Private heaps: each heap keeps its blocks on a list so that HeapDestroy can
// free every block still in it, as Win32 does.
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/call_watch.h"
#include "platform/win32/kernel32.h"

namespace {

struct BlockHeader;

struct Heap {
  std::mutex lock;
  BlockHeader* blocks = nullptr;
  SIZE_T maximum_size = 0;  // 0: grows on demand
  SIZE_T used = 0;
};

// A heap with a maximum hands out no block this large, however much room it has
// (on 64-bit Win32 the limit is "slightly less than 1,024 KB").
constexpr SIZE_T LARGEST_BLOCK_OF_A_FIXED_HEAP = 1016 * 1024;

// 32 bytes keep the caller's block 16-byte aligned, like malloc's.
struct alignas(16) BlockHeader {
  Heap* heap;
  BlockHeader* previous;
  BlockHeader* next;
  SIZE_T size;
};

BlockHeader* header_of(LPCVOID block) {
  return reinterpret_cast<BlockHeader*>(const_cast<char*>(static_cast<const char*>(block)) - sizeof(BlockHeader));
}

void* payload_of(BlockHeader* header) { return reinterpret_cast<char*>(header) + sizeof(BlockHeader); }

void link_block(Heap* heap, BlockHeader* header) {
  header->heap = heap;
  header->previous = nullptr;
  header->next = heap->blocks;
  if (heap->blocks) heap->blocks->previous = header;
  heap->blocks = header;
  heap->used += header->size;
}

void unlink_block(Heap* heap, BlockHeader* header) {
  if (header->previous) header->previous->next = header->next;
  else heap->blocks = header->next;
  if (header->next) header->next->previous = header->previous;
  heap->used -= header->size;
}

bool fits(const Heap* heap, SIZE_T extra) {
  return heap->maximum_size == 0 || extra <= heap->maximum_size - heap->used;
}

bool too_large_a_block(const Heap* heap, SIZE_T bytes) {
  return heap->maximum_size != 0 && bytes >= LARGEST_BLOCK_OF_A_FIXED_HEAP;
}

// Win32 reserves whole pages: a heap's maximum is rounded up to the page size.
SIZE_T whole_pages(SIZE_T bytes) {
  long page_size = sysconf(_SC_PAGESIZE);
  auto page = static_cast<SIZE_T>(page_size > 0 ? page_size : 4096);
  SIZE_T remainder = bytes % page;
  if (remainder == 0) return bytes;
  return bytes <= SIZE_MAX - (page - remainder) ? bytes + (page - remainder) : SIZE_MAX;
}

Heap* as_heap(HANDLE handle) { return static_cast<Heap*>(handle); }

}  // namespace

namespace {

Heap* heap_create(SIZE_T maximum_size) {
  Heap* heap = new (std::nothrow) Heap;
  if (!heap) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  heap->maximum_size = whole_pages(maximum_size);
  return heap;
}

}  // namespace

HANDLE HeapCreate(DWORD options, SIZE_T initial_size, SIZE_T maximum_size) {
  Heap* heap = heap_create(maximum_size);
  call_noted(heap, "HeapCreate", options, initial_size, maximum_size);
  return heap;
}

BOOL HeapDestroy(HANDLE handle) {
  call_noted(handle, "HeapDestroy");
  Heap* heap = as_heap(handle);
  // The process heap lives as long as the process, as on Win32.
  if (!heap || handle == GetProcessHeap()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  for (BlockHeader* block = heap->blocks; block;) {
    BlockHeader* next = block->next;
    std::free(block);
    block = next;
  }
  delete heap;
  return TRUE;
}

LPVOID HeapAlloc(HANDLE handle, DWORD flags, SIZE_T bytes) {
  Heap* heap = as_heap(handle);
  if (!heap || bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  std::lock_guard guard(heap->lock);
  if (too_large_a_block(heap, bytes) || !fits(heap, bytes)) return nullptr;
  void* memory = (flags & HEAP_ZERO_MEMORY) ? std::calloc(1, sizeof(BlockHeader) + bytes)
                                            : std::malloc(sizeof(BlockHeader) + bytes);
  if (!memory) return nullptr;
  auto* header = static_cast<BlockHeader*>(memory);
  header->size = bytes;
  link_block(heap, header);
  return payload_of(header);
}

LPVOID HeapReAlloc(HANDLE handle, DWORD flags, LPVOID block, SIZE_T bytes) {
  Heap* heap = as_heap(handle);
  if (!heap || !block || bytes > SIZE_MAX - sizeof(BlockHeader)) return nullptr;
  std::lock_guard guard(heap->lock);
  BlockHeader* header = header_of(block);
  if (header->heap != heap) return nullptr;
  SIZE_T old_size = header->size;
  if (bytes > old_size && (too_large_a_block(heap, bytes) || !fits(heap, bytes - old_size))) return nullptr;
  if (flags & HEAP_REALLOC_IN_PLACE_ONLY) {
    // realloc() may move even a shrinking block; in place means the same address.
    if (bytes > old_size) return nullptr;
    heap->used -= old_size - bytes;
    header->size = bytes;
    return block;
  }
  unlink_block(heap, header);
  auto* moved = static_cast<BlockHeader*>(std::realloc(header, sizeof(BlockHeader) + bytes));
  if (!moved) {
    link_block(heap, header);  // the old block stays valid, as Win32 leaves it
    return nullptr;
  }
  moved->size = bytes;
  link_block(heap, moved);
  if ((flags & HEAP_ZERO_MEMORY) && bytes > old_size)
    std::memset(static_cast<char*>(payload_of(moved)) + old_size, 0, bytes - old_size);
  return payload_of(moved);
}

BOOL HeapFree(HANDLE handle, DWORD, LPVOID block) {
  Heap* heap = as_heap(handle);
  if (!heap) return FALSE;
  if (!block) return TRUE;  // freeing null succeeds, as on Win32
  std::lock_guard guard(heap->lock);
  BlockHeader* header = header_of(block);
  if (header->heap != heap) return FALSE;
  unlink_block(heap, header);
  std::free(header);
  return TRUE;
}

SIZE_T HeapSize(HANDLE handle, DWORD, LPCVOID block) {
  Heap* heap = as_heap(handle);
  if (!heap || !block) return static_cast<SIZE_T>(-1);
  std::lock_guard guard(heap->lock);
  BlockHeader* header = header_of(block);
  return header->heap == heap ? header->size : static_cast<SIZE_T>(-1);
}

HANDLE GetProcessHeap() {
  // Made on first use, by no caller's HeapCreate.
  static HANDLE process_heap = heap_create(0);
  return process_heap;
}
