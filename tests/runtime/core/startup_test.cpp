#include "runtime/core/startup.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "runtime/core/block_pool.h"
#include "runtime/core/heaps.h"
#include "runtime/core/memory.h"
#include "runtime/core/registry.h"
#include "runtime/core/string_library.h"
#include "runtime/file/file.h"
#include "runtime/file/file_object.h"
#include "runtime/graphics/drawing_session.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/image.h"
#include "runtime/gui/gadget.h"
#include "runtime/gui/menu.h"
#include "runtime/gui/window.h"
#include "platform/win32/gdi32.h"
#include "platform/win32/kernel32.h"

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

void expect_registry(const ObjectRegistry* registry, std::int32_t growth, ObjectFreeCallback free_callback) {
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(registry->growth, growth);
  EXPECT_EQ(registry->slot_count, growth) << "a fresh registry has one growth step of slots";
  if (free_callback) EXPECT_EQ(registry->free_callback, free_callback);
  else EXPECT_NE(registry->free_callback, nullptr);
}

TEST(Startup, CreatesEachLibrarysRegistryAndTheDrawingSlot) {
  ASSERT_TRUE(program_begin());
  expect_registry(image_registry(), 16, nullptr);  // a wrapper around image_free
  expect_registry(window_registry(), 16, window_close);
  expect_registry(gadget_registry(), 50, gadget_free);
  expect_registry(file_registry(), 16, file_close);
  expect_registry(menu_registry(), 16, menu_free);
  EXPECT_NE(drawing_library_slot(), TLS_OUT_OF_INDEXES);
  const ImageEncoder* png = image_encoder_find(FORMAT_PNG);
  ASSERT_NE(png, nullptr) << "the PNG encoder registers itself during start-up";
  EXPECT_NE(png->encode_rgb, nullptr);
  EXPECT_NE(png->encode_rgba, nullptr);
  EXPECT_EQ(program_end(), 0);
}

int open_descriptor_count() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

TEST(Startup, ShutDownClosesOpenFilesAndFreesLiveImages) {
  const std::filesystem::path path = std::filesystem::temp_directory_path() / "startup_test_open_file.txt";
  std::ofstream(path) << "line\n";
  const std::u16string name = path.u16string();
  const int descriptors = open_descriptor_count();

  ASSERT_TRUE(program_begin());
  ASSERT_NE(file_open_read(2, name.c_str()), 0);
  ASSERT_NE(file_open_read(AUTO_ID, name.c_str()), 0);
  const auto numbered = reinterpret_cast<HGDIOBJ>(image_create(0, 8, 8));
  const ObjectId dynamic = image_create(AUTO_ID, 8, 8, 32);
  ASSERT_NE(numbered, nullptr);
  ASSERT_NE(dynamic, 0);
  const HGDIOBJ dynamic_bitmap = reinterpret_cast<HGDIOBJ>(image_lookup(dynamic)->bitmap);
  EXPECT_EQ(GetObjectType(numbered), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(open_descriptor_count(), descriptors + 2);

  EXPECT_EQ(program_end(), 0);
  EXPECT_EQ(open_descriptor_count(), descriptors) << "both files closed";
  EXPECT_EQ(GetObjectType(numbered), 0u) << "the bitmap was deleted";
  EXPECT_EQ(GetObjectType(dynamic_bitmap), 0u);
  std::filesystem::remove(path);
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
