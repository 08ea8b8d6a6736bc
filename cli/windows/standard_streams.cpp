// Standard input and output as the command line's files, on Windows: there is
// no /proc/self/fd and no mkdtemp, so standard input is always copied, into a
// named temporary file, and the private folder is made in the temporary folder
// by name. The C runtime opens the standard streams in text mode; pictures and
// tables pass through them as bytes. Names go through the wide calls, since the
// temporary folder may hold characters the system code page lacks.
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>

#include "cli/standard_streams.h"
#include "cli/stream_copy.h"
#include "cli/system_names.h"
#include "platform/win32/kernel32.h"

namespace {

constexpr int NAME_ATTEMPTS = 100;

enum class Attempt { MADE, TAKEN, FAILED };

// A name in the temporary folder that nothing holds yet, made by `make`.
template <typename Make>
std::string unused_name(const char* prefix, Make make) {
  static unsigned counter = 0;
  const std::string folder = temporary_folder();
  for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
    const std::string name =
        folder + prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    const Attempt made = make(name);
    if (made == Attempt::MADE) return name;
    if (made == Attempt::FAILED) break;
  }
  return {};
}

// The caller reports a failure by errno, as the C runtime's own calls leave it.
int errno_of(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED: return EACCES;
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_DISK_FULL: return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
    default: return EIO;
  }
}

void remove_file(const std::string& name) { DeleteFileW(name_from_system(name).c_str()); }

}  // namespace

StreamInput::~StreamInput() {
  if (copy_) std::fclose(copy_);
  if (!name_.empty()) remove_file(name_);
}

// The copy is closed once written: the loader opens it by name, and an open
// handle that may write would refuse it a sharing violation.
bool StreamInput::take(std::FILE* in) {
  _setmode(_fileno(in), _O_BINARY);
  name_ = unused_name("ifs-render-input-", [&](const std::string& name) {
    copy_ = name_open(name, "wbx");
    if (copy_) return Attempt::MADE;
    return errno == EEXIST ? Attempt::TAKEN : Attempt::FAILED;
  });
  if (!copy_) return false;
  const StreamCopy copied = copy_stream(in, copy_, limit_);
  too_long_ = copied == STREAM_TOO_LONG;
  const int reason = errno;
  const bool closed = std::fclose(copy_) == 0;
  copy_ = nullptr;
  errno = reason;
  if (copied != STREAM_COPIED || !closed) {
    remove_file(name_);
    name_.clear();
    return false;
  }
  path_ = name_;
  return true;
}

// Pipes and devices are not given by name on Windows' command lines.
bool names_a_stream(const std::string&) { return false; }
bool names_stream(const std::string&, std::FILE*) { return false; }

PrivateFolder::PrivateFolder() {
  path_ = unused_name("ifs-render-", [](const std::string& name) {
    if (CreateDirectoryW(name_from_system(name).c_str(), nullptr)) return Attempt::MADE;
    errno = errno_of(GetLastError());
    return errno == EEXIST ? Attempt::TAKEN : Attempt::FAILED;
  });
}

// Removes the picture it may hold, then the folder.
PrivateFolder::~PrivateFolder() {
  if (path_.empty()) return;
  for (const char* name : {"picture.png", "picture.bmp"}) remove_file(file(name));
  RemoveDirectoryW(name_from_system(path_).c_str());
}

bool copy_file_to(const std::string& path, std::FILE* out) {
  std::FILE* file = name_open(path, "rb");
  if (!file) return false;
  std::fflush(out);
  _setmode(_fileno(out), _O_BINARY);
  const bool copied = copy_stream(file, out) == STREAM_COPIED;
  const int saved_errno = errno;
  std::fclose(file);
  errno = saved_errno;
  return copied;
}
