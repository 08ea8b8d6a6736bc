#include "runtime/core/startup.h"

#include <cstring>

#include <gtest/gtest.h>

#include "runtime/core/block_pool.h"
#include "runtime/core/heaps.h"
#include "runtime/core/memory.h"
#include "runtime/core/registry.h"
#include "runtime/core/string_library.h"

namespace {

TEST(Startup, TheProgramCanBeginAndEndAgainAndAgain) {
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    ASSERT_TRUE(program_begin());
    EXPECT_NE(program_instance(), nullptr);
    EXPECT_NE(main_heap(), nullptr);
    EXPECT_NE(string_heap(), nullptr);
    EXPECT_NE(memory_heap(), nullptr);
    const StringWorkBuffer* buffer = string_work_buffer();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->capacity, 16);
    EXPECT_EQ(buffer->position, 0);
    // The runtime's services work in between.
    EXPECT_NE(registry_create(16, 16, nullptr), nullptr);
    void* block = memory_alloc(100, 0);
    EXPECT_NE(block, nullptr);

    EXPECT_EQ(program_end(), 0);
    EXPECT_EQ(main_heap(), nullptr);
    EXPECT_EQ(string_heap(), nullptr);
    EXPECT_EQ(memory_heap(), nullptr);
    EXPECT_EQ(string_work_buffer(), nullptr);
    EXPECT_EQ(program_instance(), nullptr);
    EXPECT_EQ(memory_alloc(100, 0), nullptr) << "no memory heap after shut-down";
  }
}

TEST(Startup, SharedPoolsDoNotOutliveTheMainHeap) {
  ASSERT_TRUE(program_begin());
  BlockPool* pool = block_pool_create(32, 16, 65536, BLOCK_POOL_SHARED);
  block_pool_alloc(pool);
  EXPECT_EQ(program_end(), 0);

  ASSERT_TRUE(program_begin());
  // The old pool went with the heap; the same request makes a new one.
  BlockPool* again = block_pool_create(32, 16, 65536, BLOCK_POOL_SHARED);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->total_blocks, 0);
  block_pool_destroy(again);
  EXPECT_EQ(program_end(), 0);
}

TEST(Startup, ShutdownAloneEndsTheMemoryLibraryAndCanBeRepeated) {
  ASSERT_TRUE(program_begin());
  runtime_shutdown();
  EXPECT_EQ(memory_heap(), nullptr);
  EXPECT_NE(string_heap(), nullptr) << "the entry frees the string heap after shut-down";
  EXPECT_NE(main_heap(), nullptr);
  EXPECT_TRUE(runtime_startup());
  EXPECT_NE(memory_heap(), nullptr);
  EXPECT_EQ(program_end(), 0);
}

class MemoryLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(program_begin()); }
  void TearDown() override { program_end(); }
};

bool all_bytes_are(const void* block, std::size_t from, std::size_t to, unsigned char value) {
  const auto* bytes = static_cast<const unsigned char*>(block);
  for (std::size_t i = from; i < to; ++i)
    if (bytes[i] != value) return false;
  return true;
}

TEST_F(MemoryLibraryTest, AllocClearsUnlessAskedNotToAndRefusesEmptySizes) {
  EXPECT_EQ(memory_alloc(0, 0), nullptr);
  EXPECT_EQ(memory_alloc(-5, 0), nullptr);
  // Dirty some memory and give it back, so that cleared blocks are not clean by luck.
  for (int i = 0; i < 8; ++i) {
    void* dirty = memory_alloc(256, MEMORY_NO_CLEAR);
    std::memset(dirty, 0xAB, 256);
    memory_free(dirty);
  }
  void* cleared = memory_alloc(256, 0);
  ASSERT_NE(cleared, nullptr);
  EXPECT_TRUE(all_bytes_are(cleared, 0, 256, 0));
  memory_free(cleared);
  memory_free(nullptr);
}

TEST_F(MemoryLibraryTest, ReallocKeepsTheContentsAndClearsTheGrowth) {
  auto* block = static_cast<unsigned char*>(memory_alloc(16, MEMORY_NO_CLEAR));
  std::memset(block, 0xAB, 16);
  auto* grown = static_cast<unsigned char*>(memory_realloc(block, 4096));
  ASSERT_NE(grown, nullptr);
  EXPECT_TRUE(all_bytes_are(grown, 0, 16, 0xAB));
  EXPECT_TRUE(all_bytes_are(grown, 16, 4096, 0));
  EXPECT_EQ(memory_realloc(grown, 0), nullptr);
  EXPECT_EQ(memory_realloc(grown, -1), nullptr);
  EXPECT_TRUE(all_bytes_are(grown, 0, 16, 0xAB)) << "a refused resize leaves the block alone";
  memory_free(grown);

  auto* fresh = static_cast<unsigned char*>(memory_realloc(nullptr, 64));
  ASSERT_NE(fresh, nullptr);
  EXPECT_TRUE(all_bytes_are(fresh, 0, 64, 0));
  // Left allocated on purpose: the memory heap takes it at shut-down.
}

}  // namespace
