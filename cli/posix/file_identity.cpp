// File identity on POSIX systems: device and inode.
#include "cli/file_identity.h"

#include <sys/stat.h>

namespace {

FileIdentity identity_of(const struct stat& status) {
  return FileIdentity{true, static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino)};
}

}  // namespace

FileIdentity file_identity_of_name(const std::string& name) {
  struct stat status {};
  if (name.empty() || ::stat(name.c_str(), &status) != 0) return {};
  return identity_of(status);
}

FileIdentity file_identity_of_stream(std::FILE* stream) {
  struct stat status {};
  if (!stream || ::fstat(fileno(stream), &status) != 0 || !S_ISREG(status.st_mode)) return {};
  return identity_of(status);
}
