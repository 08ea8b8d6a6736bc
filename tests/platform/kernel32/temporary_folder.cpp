#include "temporary_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/kernel32/text_conversion.h"

TemporaryFolder::TemporaryFolder() {
  char pattern[] = "/tmp/kernel32_test_XXXXXX";
  const char* made = ::mkdtemp(pattern);
  EXPECT_NE(made, nullptr);
  path_ = made ? made : "/tmp";
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  if (path_ != "/tmp") std::filesystem::remove_all(path_, ignored);
}

std::u16string TemporaryFolder::wide(const std::string& name) const {
  return utf8_to_utf16(name.empty() ? path_ : file(name));
}

std::string read_whole_file(const std::string& path) {
  std::string bytes;
  int descriptor = ::open(path.c_str(), O_RDONLY);
  if (descriptor < 0) return bytes;
  char chunk[4096];
  ssize_t got;
  while ((got = ::read(descriptor, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<size_t>(got));
  ::close(descriptor);
  return bytes;
}

void write_whole_file(const std::string& path, const std::string& bytes) {
  int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(descriptor, 0);
  ASSERT_EQ(::write(descriptor, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::close(descriptor);
}

bool path_exists(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}
