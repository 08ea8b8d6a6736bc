// Private heaps and global memory blocks.
#include <malloc.h>

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"

namespace {

// Against the system's Win32 the heap is not the C library's either.
#if defined(__SANITIZE_ADDRESS__) || defined(_WIN32)
constexpr bool MALLOC_STATISTICS_ARE_GLIBCS = false;
std::size_t bytes_in_use() { return 0; }
#else
constexpr bool MALLOC_STATISTICS_ARE_GLIBCS = true;
std::size_t bytes_in_use() { return mallinfo2().uordblks; }
#endif

TEST(Heap, DestroyFreesEveryBlockStillInIt) {
  // Under LeakSanitizer a block left behind fails the run; without it the
  // C library's own statistics must show the memory back.
  std::size_t in_use_before = bytes_in_use();
  HANDLE heap = HeapCreate(0, 0, 0);
  ASSERT_NE(heap, nullptr);
  for (int index = 0; index < 2000; ++index) {
    void* block = HeapAlloc(heap, 0, 1000 + index % 7);
    ASSERT_NE(block, nullptr);
    std::memset(block, 0x5A, 1000);
    if (index % 3 == 0) block = HeapReAlloc(heap, 0, block, 1500);
    ASSERT_NE(block, nullptr);
  }
  if (MALLOC_STATISTICS_ARE_GLIBCS) {
    EXPECT_GT(bytes_in_use(), in_use_before + 2000 * 1000);
  }
  EXPECT_TRUE(HeapDestroy(heap));
  if (MALLOC_STATISTICS_ARE_GLIBCS) {
    EXPECT_LT(bytes_in_use(), in_use_before + 64 * 1024);
  }
}

TEST(Heap, ZeroMemoryFlagZeroFillsNewBlocksAndGrowth) {
  HANDLE heap = HeapCreate(0, 0, 0);
  ASSERT_NE(heap, nullptr);
  // Leave dirty memory behind for the allocator to hand out again.
  void* dirty = HeapAlloc(heap, 0, 8192);
  std::memset(dirty, 0xEE, 8192);
  HeapFree(heap, 0, dirty);

  auto* zeroed = static_cast<unsigned char*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 8000));
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(std::vector<unsigned char>(zeroed, zeroed + 8000), std::vector<unsigned char>(8000, 0));
  auto* block = static_cast<unsigned char*>(HeapAlloc(heap, 0, 16));
  std::memset(block, 0xAB, 16);
  block = static_cast<unsigned char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 6000));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(HeapSize(heap, 0, block), 6000u);
  EXPECT_EQ(std::vector<unsigned char>(block, block + 16), std::vector<unsigned char>(16, 0xAB));
  EXPECT_EQ(std::vector<unsigned char>(block + 16, block + 6000), std::vector<unsigned char>(5984, 0));
  // Shrinking keeps the leading bytes.
  block = static_cast<unsigned char*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 8));
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(std::vector<unsigned char>(block, block + 8), std::vector<unsigned char>(8, 0xAB));
  EXPECT_TRUE(HeapDestroy(heap));
}

TEST(Heap, InPlaceReallocationNeverMoves) {
  HANDLE heap = HeapCreate(0, 0, 0);
  void* block = HeapAlloc(heap, 0, 4096);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 16), block);
  EXPECT_EQ(HeapSize(heap, 0, block), 16u);
  EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 1 << 20), nullptr);
  EXPECT_EQ(HeapSize(heap, 0, block), 16u);  // the block is still there, unchanged
  EXPECT_TRUE(HeapDestroy(heap));
}

TEST(Heap, AHeapWithAMaximumCannotGrowPastIt) {
  // The maximum is rounded up to whole pages, so a 100-byte heap holds more than 100 bytes.
  HANDLE small = HeapCreate(0, 0, 100);
  ASSERT_NE(small, nullptr);
  void* first = HeapAlloc(small, 0, 60);
  ASSERT_NE(first, nullptr);
  void* second = HeapAlloc(small, 0, 60);
  EXPECT_NE(second, nullptr);
  first = HeapReAlloc(small, 0, first, 200);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(HeapAlloc(small, 0, static_cast<SIZE_T>(-1) - 8), nullptr);
  // However the heap rounds its maximum, it stops long before a megabyte.
  std::vector<void*> blocks;
  while (blocks.size() < 1024) {
    void* block = HeapAlloc(small, 0, 1000);
    if (!block) break;
    blocks.push_back(block);
  }
  EXPECT_LT(blocks.size(), 1024u);
  ASSERT_FALSE(blocks.empty());
  EXPECT_TRUE(HeapFree(small, 0, blocks.back()));
  EXPECT_NE(HeapAlloc(small, 0, 1000), nullptr) << "freed room is handed out again";
  EXPECT_TRUE(HeapFree(small, 0, nullptr));
  EXPECT_TRUE(HeapDestroy(small));
}

TEST(Heap, AHeapWithAMaximumRefusesBlocksOfAMegabyte) {
  // Even with room to spare, as Win32 documents for 64-bit processes.
  HANDLE fixed = HeapCreate(0, 0, 8 << 20);
  ASSERT_NE(fixed, nullptr);
  void* half = HeapAlloc(fixed, 0, 512 << 10);
  EXPECT_NE(half, nullptr);
  EXPECT_EQ(HeapAlloc(fixed, 0, 1 << 20), nullptr);
  EXPECT_EQ(HeapReAlloc(fixed, 0, half, 1 << 20), nullptr);
  EXPECT_EQ(HeapSize(fixed, 0, half), static_cast<SIZE_T>(512 << 10)) << "the refused growth left it alone";
  EXPECT_TRUE(HeapDestroy(fixed));

  HANDLE growable = HeapCreate(0, 0, 0);
  void* large = HeapAlloc(growable, 0, 4 << 20);
  EXPECT_NE(large, nullptr);
  EXPECT_TRUE(HeapDestroy(growable));
}

TEST(Heap, TheProcessHeapServesLikeAnyOther) {
  void* from_process_heap = HeapAlloc(GetProcessHeap(), 0, 32);
  EXPECT_NE(from_process_heap, nullptr);
  EXPECT_EQ(HeapSize(GetProcessHeap(), 0, from_process_heap), 32u);
  EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, from_process_heap));
}

#ifndef _WIN32
// Win32 leaves a block given to the wrong heap, a null heap and the destruction of the
// process heap undefined (callers must not); ours refuses them rather than corrupt memory.
TEST(Heap, OurHeapsRefuseWhatIsNotTheirs) {
  HANDLE one = HeapCreate(0, 0, 0);
  HANDLE other = HeapCreate(0, 0, 0);
  void* block = HeapAlloc(one, 0, 60);
  ASSERT_NE(block, nullptr);
  EXPECT_FALSE(HeapFree(other, 0, block));
  EXPECT_EQ(HeapReAlloc(other, 0, block, 100), nullptr);
  EXPECT_EQ(HeapSize(other, 0, block), static_cast<SIZE_T>(-1));
  EXPECT_TRUE(HeapFree(one, 0, block));
  EXPECT_EQ(HeapAlloc(nullptr, 0, 8), nullptr);
  EXPECT_FALSE(HeapDestroy(nullptr));
  EXPECT_FALSE(HeapDestroy(GetProcessHeap()));
  EXPECT_TRUE(HeapDestroy(one));
  EXPECT_TRUE(HeapDestroy(other));
}
#endif

TEST(GlobalMemory, MoveableHandlesAreDistinctFromTheirMemory) {
  HGLOBAL fixed = GlobalAlloc(GPTR, 32);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(GlobalLock(fixed), fixed);
  EXPECT_EQ(GlobalSize(fixed), 32u);
  EXPECT_EQ(std::vector<char>(static_cast<char*>(fixed), static_cast<char*>(fixed) + 32), std::vector<char>(32, 0));
  EXPECT_TRUE(GlobalUnlock(fixed));

  HGLOBAL moveable = GlobalAlloc(GMEM_MOVEABLE, 100);
  ASSERT_NE(moveable, nullptr);
  void* memory = GlobalLock(moveable);
  ASSERT_NE(memory, nullptr);
  EXPECT_NE(memory, moveable);
  std::memset(memory, 7, 100);
  EXPECT_EQ(GlobalLock(moveable), memory);
  EXPECT_EQ(GlobalSize(moveable), 100u);
  EXPECT_TRUE(GlobalUnlock(moveable));  // still locked once
  SetLastError(ERROR_INVALID_HANDLE);
  EXPECT_FALSE(GlobalUnlock(moveable));  // now unlocked
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(GlobalUnlock(moveable));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_LOCKED));

  EXPECT_EQ(GlobalFree(moveable), nullptr);
  EXPECT_EQ(GlobalFree(fixed), nullptr);
  EXPECT_EQ(GlobalFree(moveable), moveable);  // already freed
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalLock(moveable), nullptr);
  EXPECT_EQ(GlobalSize(moveable), 0u);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);

  HGLOBAL empty = GlobalAlloc(GHND, 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(GlobalSize(empty), 0u);
  EXPECT_EQ(GlobalFree(empty), nullptr);
}

}  // namespace
