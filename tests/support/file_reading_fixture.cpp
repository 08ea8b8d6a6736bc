#include "support/file_reading_fixture.h"

#include <cstdlib>
#include <fstream>

#include "runtime/core/heaps.h"
#include "runtime/file/file.h"

void FileReadingTest::SetUp() {
  ASSERT_TRUE(main_heap_create());
  ASSERT_TRUE(file_library_init());
  file_buffer_size_set(4096);
  std::string pattern = (std::filesystem::temp_directory_path() / "file_reading_XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  folder_ = pattern;
}

void FileReadingTest::TearDown() {
  file_library_free();
  file_buffer_size_set(4096);
  main_heap_destroy();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

std::u16string FileReadingTest::path_of(const std::string& name) const { return widen((folder_ / name).string()); }

std::u16string FileReadingTest::write_file(const std::string& name, std::string_view bytes) {
  std::ofstream stream(folder_ / name, std::ios::binary);
  stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path_of(name);
}

std::u16string widen(std::string_view text) {
  std::u16string wide;
  for (std::size_t k = 0; k < text.size();) {
    const auto byte = static_cast<unsigned char>(text[k]);
    if (byte < 0x80) {
      wide += static_cast<char16_t>(byte);
      k += 1;
    } else {  // two-byte sequences are all the tests use
      wide += static_cast<char16_t>((byte & 0x1F) << 6 | (static_cast<unsigned char>(text[k + 1]) & 0x3F));
      k += 2;
    }
  }
  return wide;
}

int open_descriptor_count() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}
