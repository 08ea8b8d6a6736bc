// A fresh folder in the system's temporary folder for one test, removed with everything
// in it, and helpers that check what the Win32 calls did through the C++ library instead.
// Names are UTF-8 here and UTF-16 for the Win32 calls.
#pragma once

#include <filesystem>
#include <string>

class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // The same path as UTF-16, for the Win32 calls.
  std::u16string wide(const std::string& name = "") const;

 private:
  std::string path_;
};

std::filesystem::path native_path(const std::string& utf8);
std::string read_whole_file(const std::string& path);
void write_whole_file(const std::string& path, const std::string& bytes);
bool path_exists(const std::string& path);
bool make_folder(const std::string& path);
