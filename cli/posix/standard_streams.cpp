#include "cli/standard_streams.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "cli/stream_copy.h"

namespace {

std::string descriptor_path(int descriptor) { return "/proc/self/fd/" + std::to_string(descriptor); }

// A file with no name in any folder, so that nothing is left behind however
// the program ends; where the file system cannot make one, a named file
// removed at once.
std::FILE* unnamed_temporary_file() {
  const std::string root = temporary_folder();
  int descriptor = ::open(root.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (descriptor < 0) {
    std::string pattern = root + "ifs-render-input.XXXXXX";
    descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor >= 0) ::unlink(pattern.c_str());
  }
  if (descriptor < 0) return nullptr;
  std::FILE* file = ::fdopen(descriptor, "w+b");
  if (!file) ::close(descriptor);
  return file;
}

// A regular file of which nothing has been read can be opened again by the
// loader; one read part way is a stream like any other (the rest of it counts).
bool readable_in_place(std::FILE* in) {
  struct stat status {};
  return ::fstat(fileno(in), &status) == 0 && S_ISREG(status.st_mode) && std::ftell(in) == 0;
}

}  // namespace

StreamInput::~StreamInput() {
  if (copy_) std::fclose(copy_);
}

bool StreamInput::take(std::FILE* in) {
  if (!always_copy_ && readable_in_place(in)) {
    path_ = descriptor_path(fileno(in));
    return true;
  }
  copy_ = unnamed_temporary_file();
  if (!copy_) return false;
  const StreamCopy copied = copy_stream(in, copy_, limit_);
  too_long_ = copied == STREAM_TOO_LONG;
  if (copied != STREAM_COPIED) return false;
  path_ = descriptor_path(fileno(copy_));
  return true;
}

bool names_a_stream(const std::string& name) {
  struct stat status {};
  if (::stat(name.c_str(), &status) != 0) return false;
  return S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode) || S_ISSOCK(status.st_mode);
}

bool names_stream(const std::string& name, std::FILE* in) {
  struct stat named {}, opened {};
  return ::stat(name.c_str(), &named) == 0 && ::fstat(fileno(in), &opened) == 0 && named.st_dev == opened.st_dev &&
         named.st_ino == opened.st_ino;
}

PrivateFolder::PrivateFolder() {
  std::string pattern = temporary_folder() + "ifs-render.XXXXXX";
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
  const bool copied = copy_stream(file, out) == STREAM_COPIED;
  const int saved_errno = errno;
  std::fclose(file);
  errno = saved_errno;
  return copied;
}
