// Standard input and output as the command line's files. The loader reads
// its file twice and the saver writes a whole file, so standard input is
// first copied into an anonymous temporary file, and a picture meant for
// standard output is saved in a private folder and then copied out.
#pragma once

#include <cstdio>
#include <string>

class StandardInputCopy {
 public:
  StandardInputCopy() = default;
  ~StandardInputCopy();
  StandardInputCopy(const StandardInputCopy&) = delete;
  StandardInputCopy& operator=(const StandardInputCopy&) = delete;

  // Copies everything `in` holds; false, with errno saying why, when it
  // cannot be read or kept.
  bool copy_from(std::FILE* in);
  // A name under which the copy opens (it has none in any folder).
  std::string path() const;

 private:
  std::FILE* copy_ = nullptr;
#ifdef _WIN32
  std::string name_;  // the copy's file, removed with it
#endif
};

class PrivateFolder {
 public:
  PrivateFolder();
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // False, with errno saying why, when the folder could not be made.
  bool made() const { return !path_.empty(); }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Writes the whole file to `out` and flushes it; false, with errno saying
// why, when either side fails.
bool copy_file_to(const std::string& path, std::FILE* out);
