#include "platform/kernel32/file_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

bool sync_folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return false;
  // Some file systems cannot sync a folder; they report EINVAL, which is not
  // a failure of the move.
  const bool synced = ::fsync(descriptor) == 0 || errno == EINVAL;
  const int saved = errno;
  ::close(descriptor);
  errno = saved;
  return synced;
}
