// A fresh folder under /tmp for one test, removed with everything in it.
#pragma once

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

// Independent POSIX helpers for checking what the Win32 calls did.
std::string read_whole_file(const std::string& path);
void write_whole_file(const std::string& path, const std::string& bytes);
bool path_exists(const std::string& path);
