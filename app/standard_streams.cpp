#include "app/standard_streams.h"

#include <dirent.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "app/stream_copy.h"

namespace {

std::string temporary_root() {
  const char* root = std::getenv("TMPDIR");
  return root && *root ? root : "/tmp";
}

}  // namespace

StandardInputCopy::~StandardInputCopy() {
  if (copy_) std::fclose(copy_);
}

bool StandardInputCopy::copy_from(std::FILE* in) {
  copy_ = std::tmpfile();
  return copy_ && copy_stream(in, copy_);
}

std::string StandardInputCopy::path() const {
  return copy_ ? "/proc/self/fd/" + std::to_string(fileno(copy_)) : std::string();
}

PrivateFolder::PrivateFolder() {
  std::string pattern = temporary_root() + "/ifs-render.XXXXXX";
  if (::mkdtemp(pattern.data())) path_ = pattern;
}

// Removes whatever was left in it (a saved picture), then the folder.
PrivateFolder::~PrivateFolder() {
  if (path_.empty()) return;
  if (DIR* folder = ::opendir(path_.c_str())) {
    while (const dirent* entry = ::readdir(folder)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") ::unlink(file(name).c_str());
    }
    ::closedir(folder);
  }
  ::rmdir(path_.c_str());
}

bool copy_file_to(const std::string& path, std::FILE* out) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  const bool copied = copy_stream(file, out);
  const int saved_errno = errno;
  std::fclose(file);
  errno = saved_errno;
  return copied;
}
