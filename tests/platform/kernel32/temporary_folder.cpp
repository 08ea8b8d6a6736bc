#include "temporary_folder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include <gtest/gtest.h>

#ifndef _WIN32
#include "platform/kernel32/text_conversion.h"
#endif

namespace fs = std::filesystem;

namespace {

std::string utf8_of(const fs::path& path) {
  auto text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

fs::path native_path(const std::string& utf8) {
  // On Linux a path's bytes are its name, whatever they are; on Windows they are UTF-8.
#ifdef _WIN32
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
#else
  return fs::path(utf8);
#endif
}

TemporaryFolder::TemporaryFolder() {
  std::error_code error;
  fs::path base = fs::temp_directory_path(error);
  std::random_device entropy;
  for (int attempt = 0; attempt < 100 && path_.empty() && !error; ++attempt) {
    fs::path candidate = base / ("kernel32_test_" + std::to_string(entropy()));
    if (fs::create_directory(candidate, error)) path_ = utf8_of(candidate);
  }
  EXPECT_FALSE(path_.empty()) << "no temporary folder: " << error.message();
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  if (!path_.empty()) fs::remove_all(native_path(path_), ignored);
}

std::u16string TemporaryFolder::wide(const std::string& name) const {
  const std::string utf8 = name.empty() ? path_ : file(name);
#ifdef _WIN32
  return native_path(utf8).u16string();
#else
  // Bytes that are not UTF-8 become the stand-ins the layer maps back to them.
  return utf8_to_utf16(utf8);
#endif
}

std::string read_whole_file(const std::string& path) {
  std::ifstream stream(native_path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

void write_whole_file(const std::string& path, const std::string& bytes) {
  std::ofstream stream(native_path(path), std::ios::binary | std::ios::trunc);
  ASSERT_TRUE(stream.is_open()) << path;
  stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(stream.good()) << path;
}

bool path_exists(const std::string& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(native_path(path), ignored));
}

bool make_folder(const std::string& path) {
  std::error_code ignored;
  return fs::create_directory(native_path(path), ignored);
}
