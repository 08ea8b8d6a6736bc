// Pools asked for with the shared flag are one per (stride, flags), counted by
// reference, on one global list guarded by one global critical section.
#include "runtime/core/block_pool.h"
#include "runtime/core/heaps.h"
#include "runtime/core/run_once.h"

struct SharedBlockPoolEntry {
  SharedBlockPoolEntry* next;
  SharedBlockPoolEntry* previous;
  BlockPool* pool;
  std::int32_t stride;
  std::uint32_t flags;
  std::int32_t reference_count;
};

namespace {

RunOnceWord shared_list_once{};
CRITICAL_SECTION shared_list_lock;
SharedBlockPoolEntry* shared_list = nullptr;

void initialise_shared_list() {
  InitializeCriticalSection(&shared_list_lock);
  shared_list = nullptr;
}

class SharedListGuard {
 public:
  SharedListGuard() {
    run_once(&shared_list_once, initialise_shared_list);
    EnterCriticalSection(&shared_list_lock);
  }
  ~SharedListGuard() { LeaveCriticalSection(&shared_list_lock); }
  SharedListGuard(const SharedListGuard&) = delete;
  SharedListGuard& operator=(const SharedListGuard&) = delete;
};

SharedBlockPoolEntry* find_entry(std::int32_t stride, std::uint32_t flags) {
  for (SharedBlockPoolEntry* entry = shared_list; entry; entry = entry->next)
    if (entry->stride == stride && entry->flags == flags) return entry;
  return nullptr;
}

void unlink_entry(SharedBlockPoolEntry* entry) {
  if (entry->previous) entry->previous->next = entry->next;
  else shared_list = entry->next;
  if (entry->next) entry->next->previous = entry->previous;
}

}  // namespace

BlockPool* shared_block_pool_acquire(std::int32_t block_size, std::int32_t min_blocks, std::int32_t max_blocks,
                                     std::uint32_t flags) {
  std::int32_t stride = block_pool_stride(block_size);
  if (stride == 0) return nullptr;
  SharedListGuard guard;
  // Pools of the same stride and flags are one pool, whatever their chunk sizes.
  if (SharedBlockPoolEntry* entry = find_entry(stride, flags)) {
    ++entry->reference_count;
    return entry->pool;
  }
  auto* entry = static_cast<SharedBlockPoolEntry*>(HeapAlloc(main_heap(), 0, sizeof(SharedBlockPoolEntry)));
  if (!entry) return nullptr;
  BlockPool* pool = block_pool_create_private(block_size, min_blocks, max_blocks, flags & ~BLOCK_POOL_SHARED);
  if (!pool) {
    HeapFree(main_heap(), 0, entry);
    return nullptr;
  }
  *entry = SharedBlockPoolEntry{shared_list, nullptr, pool, stride, flags, 1};
  if (shared_list) shared_list->previous = entry;
  shared_list = entry;
  pool->shared_entry = entry;
  return pool;
}

void shared_block_pool_release(BlockPool* pool) {
  SharedListGuard guard;
  SharedBlockPoolEntry* entry = pool->shared_entry;
  if (--entry->reference_count > 0) return;
  block_pool_destroy_private(pool);
  unlink_entry(entry);
  HeapFree(main_heap(), 0, entry);
}

void shared_block_pools_forget() {
  SharedListGuard guard;
  shared_list = nullptr;
}
