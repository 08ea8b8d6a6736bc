#include "runtime/core/block_pool.h"

#include <cstdint>
#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/main_heap_fixture.h"

namespace {

class BlockPoolTest : public MainHeapTest {
 protected:
  void TearDown() override {
    shared_block_pools_forget();
    MainHeapTest::TearDown();
  }
};

int chunk_count(const BlockPoolChunk* list) {
  int count = 0;
  for (; list; list = list->next) ++count;
  return count;
}

std::vector<void*> allocate(BlockPool* pool, int count) {
  std::vector<void*> blocks;
  for (int i = 0; i < count; ++i) blocks.push_back(block_pool_alloc(pool));
  return blocks;
}

TEST_F(BlockPoolTest, SixteenBlocksShareAChunkAndTheSeventeenthOpensAnother) {
  BlockPool* pool = block_pool_create(24, 16, 256, 0);
  ASSERT_NE(pool, nullptr);
  std::vector<void*> first = allocate(pool, 16);
  EXPECT_EQ(pool->total_blocks, 16);
  EXPECT_EQ(chunk_count(pool->full_chunks), 1);
  EXPECT_EQ(chunk_count(pool->open_chunks), 0);
  // All sixteen lie in one span of sixteen strides.
  auto [low, high] = std::minmax_element(first.begin(), first.end(),
                                         [](void* a, void* b) { return std::less<void*>()(a, b); });
  EXPECT_EQ(static_cast<char*>(*high) - static_cast<char*>(*low), 15 * pool->stride);

  void* seventeenth = block_pool_alloc(pool);
  ASSERT_NE(seventeenth, nullptr);
  EXPECT_EQ(pool->total_blocks, 32);
  EXPECT_EQ(chunk_count(pool->open_chunks), 1);

  for (void* block : first) block_pool_free(pool, block);
  EXPECT_EQ(pool->total_blocks, 16) << "the first chunk went back to the heap";
  EXPECT_EQ(chunk_count(pool->full_chunks), 0);
  EXPECT_EQ(chunk_count(pool->open_chunks), 1);
  block_pool_free(pool, seventeenth);
  EXPECT_EQ(pool->total_blocks, 0);
  block_pool_destroy(pool);
}

TEST_F(BlockPoolTest, StrideAddsTheHeaderAndRoundsUp) {
  EXPECT_EQ(block_pool_stride(0), BLOCK_HEADER_SIZE);
  EXPECT_EQ(block_pool_stride(1), 2 * BLOCK_HEADER_SIZE);
  EXPECT_EQ(block_pool_stride(BLOCK_HEADER_SIZE), 2 * BLOCK_HEADER_SIZE);
  EXPECT_EQ(block_pool_stride(BLOCK_HEADER_SIZE + 1), 3 * BLOCK_HEADER_SIZE);
  EXPECT_EQ(block_pool_stride(-1), 0);
  EXPECT_EQ(block_pool_stride(INT32_MAX), 0);
}

TEST_F(BlockPoolTest, ChunksGrowByASixteenthOfThePoolBetweenMinAndMax) {
  BlockPool* pool = block_pool_create(4, 16, 40, 0);
  // A sixteenth of what is held, in multiples of 16: 16 per chunk until 512
  // blocks are held, then 32, and from 768 on 48, which max caps at 40.
  allocate(pool, 512);
  EXPECT_EQ(pool->total_blocks, 512);
  EXPECT_EQ(chunk_count(pool->full_chunks), 32);
  block_pool_alloc(pool);
  EXPECT_EQ(pool->total_blocks, 544);
  allocate(pool, 768 - 513);  // fills chunks of 32 up to 768 blocks
  EXPECT_EQ(pool->total_blocks, 768);
  block_pool_alloc(pool);
  EXPECT_EQ(pool->total_blocks, 808);
  block_pool_destroy(pool);

  BlockPool* big_minimum = block_pool_create(4, 100, 1000, 0);
  block_pool_alloc(big_minimum);
  EXPECT_EQ(big_minimum->total_blocks, 100);
  block_pool_destroy(big_minimum);
}

TEST_F(BlockPoolTest, BlocksAreAlignedDistinctAndHoldTheirBytes) {
  constexpr int SIZE = 13;
  BlockPool* pool = block_pool_create(SIZE, 16, 64, 0);
  std::vector<void*> blocks = allocate(pool, 100);
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    ASSERT_NE(blocks[i], nullptr);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(blocks[i]) % alignof(void*), 0u);
    std::memset(blocks[i], static_cast<int>(i), SIZE);
  }
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    auto* bytes = static_cast<unsigned char*>(blocks[i]);
    for (int b = 0; b < SIZE; ++b) ASSERT_EQ(bytes[b], static_cast<unsigned char>(i)) << "block " << i;
  }
  EXPECT_EQ(std::set<void*>(blocks.begin(), blocks.end()).size(), blocks.size());
  block_pool_destroy(pool);
}

TEST_F(BlockPoolTest, FreedBlocksAreReusedBeforeTheChunkTailOrANewChunk) {
  BlockPool* pool = block_pool_create(8, 16, 16, 0);
  std::vector<void*> blocks = allocate(pool, 16);  // the chunk is full
  block_pool_free(pool, blocks[3]);
  block_pool_free(pool, blocks[9]);
  EXPECT_EQ(chunk_count(pool->open_chunks), 1) << "a full chunk with a free block is open again";
  EXPECT_EQ(block_pool_alloc(pool), blocks[9]) << "last freed, first reused";
  EXPECT_EQ(block_pool_alloc(pool), blocks[3]);
  EXPECT_EQ(pool->total_blocks, 16);
  EXPECT_EQ(chunk_count(pool->full_chunks), 1);

  // Partly carved chunk: a returned block comes back before the untouched tail.
  BlockPool* other = block_pool_create(8, 16, 16, 0);
  void* a = block_pool_alloc(other);
  void* b = block_pool_alloc(other);
  block_pool_free(other, a);
  EXPECT_EQ(block_pool_alloc(other), a);
  EXPECT_EQ(other->total_blocks, 16) << "the chunk stayed while b was out";
  block_pool_free(other, b);
  block_pool_destroy(other);
  block_pool_destroy(pool);
}

TEST_F(BlockPoolTest, ClearFreesEveryChunkAndThePoolStaysUsable) {
  BlockPool* pool = block_pool_create(8, 16, 64, 0);
  allocate(pool, 40);
  block_pool_clear(pool);
  EXPECT_EQ(pool->total_blocks, 0);
  EXPECT_EQ(pool->full_chunks, nullptr);
  EXPECT_EQ(pool->open_chunks, nullptr);
  EXPECT_NE(block_pool_alloc(pool), nullptr);
  EXPECT_EQ(pool->total_blocks, 16);
  block_pool_destroy(pool);
}

TEST_F(BlockPoolTest, InvalidRequestsGiveNullAndNullPoolsAreIgnored) {
  EXPECT_EQ(block_pool_create(-1, 16, 256, 0), nullptr);
  EXPECT_EQ(block_pool_create(8, 0, 256, 0), nullptr);
  EXPECT_EQ(block_pool_create(8, 16, 15, 0), nullptr);
  EXPECT_EQ(block_pool_create(INT32_MAX, 16, 256, 0), nullptr);
  EXPECT_EQ(block_pool_create(-1, 16, 256, BLOCK_POOL_SHARED), nullptr);
  EXPECT_EQ(block_pool_alloc(nullptr), nullptr);
  block_pool_free(nullptr, nullptr);
  block_pool_clear(nullptr);
  block_pool_destroy(nullptr);
  BlockPool* pool = block_pool_create(8, 16, 16, 0);
  block_pool_free(pool, nullptr);
  EXPECT_EQ(pool->total_blocks, 0);
  block_pool_destroy(pool);
}

TEST_F(BlockPoolTest, OnlyLockModeOneLocks) {
  const std::pair<std::uint32_t, bool> cases[] = {{0, false}, {1, true}, {2, false}, {3, false}};
  for (auto [flags, locked] : cases) {
    BlockPool* pool = block_pool_create(8, 16, 16, flags);
    EXPECT_EQ(pool->locked, locked) << "flags " << flags;
    block_pool_destroy(pool);
  }
}

TEST_F(BlockPoolTest, LockedPoolServesSeveralThreads) {
  BlockPool* pool = block_pool_create(sizeof(int), 16, 256, BLOCK_POOL_LOCKED);
  constexpr int THREADS = 4;
  constexpr int ROUNDS = 2000;
  std::vector<std::thread> threads;
  std::vector<bool> intact(THREADS, true);
  for (int t = 0; t < THREADS; ++t) {
    threads.emplace_back([&, t] {
      std::vector<int*> mine;
      for (int i = 0; i < ROUNDS; ++i) {
        auto* block = static_cast<int*>(block_pool_alloc(pool));
        *block = t * ROUNDS + i;
        mine.push_back(block);
        if (i % 3 == 2) {  // give some back along the way
          block_pool_free(pool, mine.front());
          mine.erase(mine.begin());
        }
      }
      for (int* block : mine) {
        if (*block / ROUNDS != t) intact[t] = false;
        block_pool_free(pool, block);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int t = 0; t < THREADS; ++t) EXPECT_TRUE(intact[t]) << "thread " << t;
  EXPECT_EQ(pool->total_blocks, 0) << "every chunk came back";
  block_pool_destroy(pool);
}

TEST_F(BlockPoolTest, SharedPoolsAreOnePerStrideAndFlagsAndCounted) {
  BlockPool* first = block_pool_create(24, 16, 65536, BLOCK_POOL_SHARED);
  // Same stride (24 and 20 round to the same), other chunk limits: the same pool.
  BlockPool* second = block_pool_create(20, 1, 8, BLOCK_POOL_SHARED);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(second, first);
  EXPECT_EQ(second->min_blocks, 16);
  BlockPool* other_size = block_pool_create(64, 16, 65536, BLOCK_POOL_SHARED);
  BlockPool* other_flags = block_pool_create(24, 16, 65536, BLOCK_POOL_SHARED | 2);
  EXPECT_NE(other_size, first);
  EXPECT_NE(other_flags, first);
  EXPECT_NE(other_flags, other_size);
  EXPECT_FALSE(first->locked);

  void* held = block_pool_alloc(first);
  block_pool_destroy(second);  // one reference left: the pool lives on
  EXPECT_EQ(first->total_blocks, 16);
  void* more = block_pool_alloc(first);
  EXPECT_NE(more, nullptr);
  block_pool_free(first, more);
  block_pool_free(first, held);
  block_pool_alloc(first);
  block_pool_destroy(first);  // the last reference: the pool goes

  BlockPool* again = block_pool_create(24, 16, 65536, BLOCK_POOL_SHARED);
  EXPECT_EQ(again->total_blocks, 0) << "a new pool, not the one that still held a block";
  block_pool_destroy(again);
  block_pool_destroy(other_size);
  block_pool_destroy(other_flags);
}

}  // namespace
