// ReplaceFileW and the final name of a write: a save that goes through a
// temporary file still behaves as writing the file would. Links are followed,
// the replaced file keeps its permission bits, owner and group, and a file the
// caller may not write is not replaced.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

#include "platform/kernel32/errno_mapping.h"
#include "platform/kernel32/file_sync.h"
#include "platform/kernel32/interrupt_cleanup.h"
#include "platform/kernel32/path_names.h"
#include "platform/kernel32/text_conversion.h"
#include "platform/win32/final_path.h"
#include "platform/win32/kernel32.h"

namespace {

// As many links as the kernel itself follows before it gives up.
constexpr int LINK_LIMIT = 40;

BOOL fail_from_errno() {
  set_last_error_from_errno();
  return FALSE;
}

std::string folder_part(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Replaces a link's name by its target's; a relative target counts from the
// link's own folder.
bool read_link(std::string& path) {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
  if (length < 0) return false;
  if (static_cast<std::size_t>(length) >= sizeof buffer) {
    errno = ENAMETOOLONG;
    return false;
  }
  const std::string target(buffer, static_cast<std::size_t>(length));
  path = target[0] == '/' ? target : folder_part(path) + target;
  return true;
}

bool follow_links(std::string& path) {
  for (int followed = 0; followed <= LINK_LIMIT; ++followed) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return errno == ENOENT;  // a new file: fine
    if (!S_ISLNK(status.st_mode)) return true;
    if (!read_link(path)) return false;
  }
  errno = ELOOP;
  return false;
}

// Opening for writing without truncating changes nothing, and asks the
// system exactly the question CreateFileW would: may this caller write here?
bool may_write(const std::string& path) {
  const int descriptor = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (descriptor < 0) return false;
  ::close(descriptor);
  return true;
}

// Owner and group as far as the caller may set them: root keeps both, an
// ordinary user can keep a group of their own; what cannot be kept is not.
void keep_identity(const std::string& replacement, const struct stat& replaced) {
  if (::chown(replacement.c_str(), replaced.st_uid, replaced.st_gid) != 0)
    (void)!::chown(replacement.c_str(), static_cast<uid_t>(-1), replaced.st_gid);
  // After chown, which may clear set-id bits.
  ::chmod(replacement.c_str(), replaced.st_mode & 07777);
}

}  // namespace

BOOL kernel32_final_write_name(LPCWSTR name, std::u16string* final_name) {
  std::string path;
  if (!path_to_utf8(name, path)) return FALSE;
  if (!final_name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!follow_links(path)) {
    if (errno == ELOOP) set_last_error_with_errno(ERROR_CANT_RESOLVE_FILENAME, ELOOP);
    else set_last_error_for_path(path);
    return FALSE;
  }
  *final_name = bytes_to_utf16(path);
  return TRUE;
}

BOOL ReplaceFileW(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup, DWORD flags, LPVOID, LPVOID) {
  std::u16string final_name;
  std::string target;
  std::string source;
  if (backup || flags != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!kernel32_final_write_name(replaced, &final_name) || !path_to_utf8(final_name.c_str(), target) ||
      !path_to_utf8(replacement, source)) {
    return FALSE;
  }
  struct stat status {};
  if (::stat(target.c_str(), &status) != 0) {
    set_last_error_for_path(target);
    return FALSE;
  }
  // A folder, device or pipe is not a file whose contents can be swapped.
  if (!S_ISREG(status.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (!may_write(target)) {
    set_last_error_for_path(target);
    return FALSE;
  }
  keep_identity(source, status);
  if (::rename(source.c_str(), target.c_str()) != 0) return fail_from_errno();
  interrupt_cleanup_forget(source);
  return sync_folder_of(target) ? TRUE : fail_from_errno();
}
