#include "runtime/core/block_pool.h"

#include <cstddef>

#include "runtime/core/heaps.h"

namespace {

// Keeps the first block as aligned as the header's pointer.
constexpr std::size_t CHUNK_HEADER_SIZE =
    (sizeof(BlockPoolChunk) + BLOCK_HEADER_SIZE - 1) / BLOCK_HEADER_SIZE * BLOCK_HEADER_SIZE;
constexpr std::int32_t CHUNK_GROWTH_QUANTUM = 16;

class PoolGuard {
 public:
  explicit PoolGuard(BlockPool* pool) : pool_(pool) {
    if (pool_->locked) EnterCriticalSection(&pool_->lock);
  }
  ~PoolGuard() {
    if (pool_->locked) LeaveCriticalSection(&pool_->lock);
  }
  PoolGuard(const PoolGuard&) = delete;
  PoolGuard& operator=(const PoolGuard&) = delete;

 private:
  BlockPool* pool_;
};

char* block_at(BlockPoolChunk* chunk, std::int32_t stride, std::int32_t index) {
  return reinterpret_cast<char*>(chunk) + CHUNK_HEADER_SIZE + static_cast<std::size_t>(index) * stride;
}

void*& header_word(char* block) { return *reinterpret_cast<void**>(block); }

void push_chunk(BlockPoolChunk*& list, BlockPoolChunk* chunk) {
  chunk->previous = nullptr;
  chunk->next = list;
  if (list) list->previous = chunk;
  list = chunk;
}

void unlink_chunk(BlockPoolChunk*& list, BlockPoolChunk* chunk) {
  if (chunk->previous) chunk->previous->next = chunk->next;
  else list = chunk->next;
  if (chunk->next) chunk->next->previous = chunk->previous;
}

bool is_full(const BlockPoolChunk* chunk) { return chunk->free_count == 0 && chunk->carved >= chunk->capacity; }

std::int32_t next_chunk_capacity(const BlockPool* pool) {
  std::int32_t wanted = pool->total_blocks / 16 / CHUNK_GROWTH_QUANTUM * CHUNK_GROWTH_QUANTUM;
  if (wanted < pool->min_blocks) return pool->min_blocks;
  if (wanted > pool->max_blocks) return pool->max_blocks;
  return wanted;
}

BlockPoolChunk* allocate_chunk(const BlockPool* pool, std::int32_t capacity) {
  std::size_t bytes = CHUNK_HEADER_SIZE + static_cast<std::size_t>(capacity) * static_cast<std::size_t>(pool->stride);
  auto* chunk = static_cast<BlockPoolChunk*>(HeapAlloc(main_heap(), 0, bytes));
  if (chunk) chunk->capacity = capacity;
  return chunk;
}

// A new chunk with its first block carved; degrades to a one-block chunk.
char* grow(BlockPool* pool) {
  if (pool->total_blocks == INT32_MAX) return nullptr;
  std::int32_t capacity = next_chunk_capacity(pool);
  if (capacity > INT32_MAX - pool->total_blocks) capacity = INT32_MAX - pool->total_blocks;
  BlockPoolChunk* chunk = allocate_chunk(pool, capacity);
  if (!chunk && capacity > 1) chunk = allocate_chunk(pool, 1);
  if (!chunk) return nullptr;
  pool->total_blocks += chunk->capacity;
  chunk->carved = 1;
  chunk->free_count = 0;
  chunk->free_list = nullptr;
  push_chunk(chunk->capacity > 1 ? pool->open_chunks : pool->full_chunks, chunk);
  char* block = block_at(chunk, pool->stride, 0);
  header_word(block) = chunk;
  return block;
}

char* take_from_open_chunk(BlockPool* pool) {
  BlockPoolChunk* chunk = pool->open_chunks;
  char* block;
  if (chunk->free_count > 0) {
    block = static_cast<char*>(chunk->free_list);
    chunk->free_list = header_word(block);
    --chunk->free_count;
  } else {
    block = block_at(chunk, pool->stride, chunk->carved++);
  }
  if (is_full(chunk)) {
    unlink_chunk(pool->open_chunks, chunk);
    push_chunk(pool->full_chunks, chunk);
  }
  header_word(block) = chunk;
  return block;
}

void free_chunk_list(BlockPoolChunk* chunk) {
  while (chunk) {
    BlockPoolChunk* next = chunk->next;
    HeapFree(main_heap(), 0, chunk);
    chunk = next;
  }
}

}  // namespace

std::int32_t block_pool_stride(std::int32_t block_size) {
  if (block_size < 0) return 0;
  std::int64_t stride = (static_cast<std::int64_t>(block_size) + 2 * BLOCK_HEADER_SIZE - 1) / BLOCK_HEADER_SIZE *
                        BLOCK_HEADER_SIZE;
  return stride > INT32_MAX ? 0 : static_cast<std::int32_t>(stride);
}

BlockPool* block_pool_create_private(std::int32_t block_size, std::int32_t min_blocks, std::int32_t max_blocks,
                                     std::uint32_t flags) {
  std::int32_t stride = block_pool_stride(block_size);
  if (stride == 0 || min_blocks < 1 || max_blocks < min_blocks) return nullptr;
  auto* pool = static_cast<BlockPool*>(HeapAlloc(main_heap(), 0, sizeof(BlockPool)));
  if (!pool) return nullptr;
  pool->full_chunks = nullptr;
  pool->open_chunks = nullptr;
  pool->shared_entry = nullptr;
  pool->total_blocks = 0;
  pool->stride = stride;
  pool->min_blocks = min_blocks;
  pool->max_blocks = max_blocks;
  pool->locked = (flags & BLOCK_POOL_LOCK_MASK) == BLOCK_POOL_LOCKED;
  if (pool->locked) InitializeCriticalSection(&pool->lock);
  return pool;
}

BlockPool* block_pool_create(std::int32_t block_size, std::int32_t min_blocks, std::int32_t max_blocks,
                             std::uint32_t flags) {
  if (flags & BLOCK_POOL_SHARED) return shared_block_pool_acquire(block_size, min_blocks, max_blocks, flags);
  return block_pool_create_private(block_size, min_blocks, max_blocks, flags);
}

void* block_pool_alloc(BlockPool* pool) {
  if (!pool) return nullptr;
  PoolGuard guard(pool);
  char* block = pool->open_chunks ? take_from_open_chunk(pool) : grow(pool);
  return block ? block + BLOCK_HEADER_SIZE : nullptr;
}

void block_pool_free(BlockPool* pool, void* address) {
  if (!pool || !address) return;
  PoolGuard guard(pool);
  char* block = static_cast<char*>(address) - BLOCK_HEADER_SIZE;
  auto* chunk = static_cast<BlockPoolChunk*>(header_word(block));
  bool was_full = is_full(chunk);
  header_word(block) = chunk->free_list;
  chunk->free_list = block;
  ++chunk->free_count;
  if (chunk->free_count == chunk->carved) {
    unlink_chunk(was_full ? pool->full_chunks : pool->open_chunks, chunk);
    pool->total_blocks -= chunk->capacity;
    HeapFree(main_heap(), 0, chunk);
  } else if (was_full) {
    unlink_chunk(pool->full_chunks, chunk);
    push_chunk(pool->open_chunks, chunk);
  }
}

void block_pool_clear(BlockPool* pool) {
  if (!pool) return;
  PoolGuard guard(pool);
  free_chunk_list(pool->full_chunks);
  free_chunk_list(pool->open_chunks);
  pool->full_chunks = nullptr;
  pool->open_chunks = nullptr;
  pool->total_blocks = 0;
}

void block_pool_destroy_private(BlockPool* pool) {
  block_pool_clear(pool);
  if (pool->locked) DeleteCriticalSection(&pool->lock);
  HeapFree(main_heap(), 0, pool);
}

void block_pool_destroy(BlockPool* pool) {
  if (!pool) return;
  if (pool->shared_entry) shared_block_pool_release(pool);
  else block_pool_destroy_private(pool);
}
