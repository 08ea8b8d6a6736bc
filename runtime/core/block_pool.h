// Fixed-size block allocator: blocks are carved from chunks that grow with the
// pool (a sixteenth of the blocks already held, in multiples of 16, between
// the pool's minimum and maximum); a chunk is freed once all its blocks are back.
#pragma once

#include <cstdint>

#include "platform/win32/kernel32.h"

// Flags of block_pool_create.
inline constexpr std::uint32_t BLOCK_POOL_LOCK_MASK = 3;  // lock mode; 1 = guarded by a critical section
inline constexpr std::uint32_t BLOCK_POOL_LOCKED = 1;
inline constexpr std::uint32_t BLOCK_POOL_SHARED = 4;  // one pool per block stride and flags, reference-counted

struct SharedBlockPoolEntry;

// One heap block: this header, then capacity blocks of the pool's stride.
struct BlockPoolChunk {
  BlockPoolChunk* next;
  BlockPoolChunk* previous;
  void* free_list;
  std::int32_t capacity;
  std::int32_t carved;      // blocks handed out from the untouched tail
  std::int32_t free_count;  // blocks back on the free list
};

struct BlockPool {
  BlockPoolChunk* full_chunks;  // no free block left
  BlockPoolChunk* open_chunks;  // allocation always uses the head
  SharedBlockPoolEntry* shared_entry;
  std::int32_t total_blocks;
  std::int32_t stride;  // block size plus the header, rounded up to the header's size
  std::int32_t min_blocks;
  std::int32_t max_blocks;
  bool locked;
  CRITICAL_SECTION lock;
};

// Each block is preceded by a pointer-sized header: its chunk while in use,
// the next free block while on the chunk's free list.
inline constexpr std::int32_t BLOCK_HEADER_SIZE = sizeof(void*);

// Bytes per block with its header, rounded up to the header's size; 0 when
// block_size is negative or too large.
std::int32_t block_pool_stride(std::int32_t block_size);

// Null for block_size < 0, min_blocks < 1, max_blocks < min_blocks, or an
// exhausted heap.
BlockPool* block_pool_create(std::int32_t block_size, std::int32_t min_blocks, std::int32_t max_blocks,
                             std::uint32_t flags);
// Null only when not even a one-block chunk can be allocated.
void* block_pool_alloc(BlockPool* pool);
void block_pool_free(BlockPool* pool, void* block);
void block_pool_clear(BlockPool* pool);
void block_pool_destroy(BlockPool* pool);

// Private pools, used by the shared-pool registry.
BlockPool* block_pool_create_private(std::int32_t block_size, std::int32_t min_blocks, std::int32_t max_blocks,
                                     std::uint32_t flags);
void block_pool_destroy_private(BlockPool* pool);

// Shared pools (shared_block_pool.cpp).
BlockPool* shared_block_pool_acquire(std::int32_t block_size, std::int32_t min_blocks, std::int32_t max_blocks,
                                     std::uint32_t flags);
void shared_block_pool_release(BlockPool* pool);
// The list of shared pools lives in the main heap: forget it when the heap goes.
void shared_block_pools_forget();
