// Standard input and output as the command line's files, on Windows: there is
// no /proc/self/fd and no mkdtemp, so standard input is copied into a named
// temporary file and the private folder is made under %TEMP% by name.
#include <direct.h>
#include <process.h>

#include <cerrno>
#include <cstdlib>

#include "app/standard_streams.h"
#include "app/stream_copy.h"

namespace {

constexpr int NAME_ATTEMPTS = 100;

std::string temporary_root() {
  for (const char* name : {"TEMP", "TMP"})
    if (const char* root = std::getenv(name); root && *root) return root;
  return ".";
}

// A name under %TEMP% that nothing holds yet, made by `make` (false: taken or failed).
template <typename Make>
std::string unused_name(const char* prefix, Make make) {
  static unsigned counter = 0;
  for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
    const std::string name = temporary_root() + "\\" + prefix + std::to_string(_getpid()) + "-" +
                             std::to_string(++counter);
    if (make(name)) return name;
    if (errno != EEXIST) break;
  }
  return {};
}

}  // namespace

StandardInputCopy::~StandardInputCopy() {
  if (copy_) std::fclose(copy_);
  if (!name_.empty()) std::remove(name_.c_str());
}

bool StandardInputCopy::copy_from(std::FILE* in) {
  name_ = unused_name("ifs-render-input-", [&](const std::string& name) {
    copy_ = std::fopen(name.c_str(), "wbx");
    return copy_ != nullptr;
  });
  return copy_ && copy_stream(in, copy_);
}

std::string StandardInputCopy::path() const { return copy_ ? name_ : std::string(); }

PrivateFolder::PrivateFolder() {
  path_ = unused_name("ifs-render-", [](const std::string& name) { return _mkdir(name.c_str()) == 0; });
}

// Removes the picture it may hold, then the folder.
PrivateFolder::~PrivateFolder() {
  if (path_.empty()) return;
  for (const char* name : {"picture.png", "picture.bmp"}) std::remove(file(name).c_str());
  _rmdir(path_.c_str());
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
