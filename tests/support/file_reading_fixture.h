// A main heap, a file library and a private temporary folder per test, with
// helpers to write files byte for byte.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

class FileReadingTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes the bytes to a file in the test's folder and returns its path.
  std::u16string write_file(const std::string& name, std::string_view bytes);
  std::u16string path_of(const std::string& name) const;
  const std::filesystem::path& folder() const { return folder_; }

 private:
  std::filesystem::path folder_;
};

// Plain ASCII/UTF-8 to UTF-16, for paths and expected texts.
std::u16string widen(std::string_view text);
// The number of descriptors this process has open.
int open_descriptor_count();
