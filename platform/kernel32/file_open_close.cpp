// CreateFileW and CloseHandle over POSIX open/close.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "platform/call_watch.h"
#include "platform/advapi32/file_security.h"
#include "platform/kernel32/errno_mapping.h"
#include "platform/kernel32/file_size_signal.h"
#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/interrupt_cleanup.h"
#include "platform/kernel32/open_file.h"
#include "platform/kernel32/path_names.h"
#include "platform/win32/kernel32.h"

namespace {

// POSIX flags for a creation disposition; false for one Win32 does not know.
bool creation_flags(DWORD creation, int& flags) {
  switch (creation) {
    case CREATE_NEW: flags = O_CREAT | O_EXCL; return true;
    case CREATE_ALWAYS: flags = O_CREAT | O_TRUNC; return true;
    case OPEN_EXISTING: flags = 0; return true;
    case OPEN_ALWAYS: flags = O_CREAT; return true;
    case TRUNCATE_EXISTING: flags = O_TRUNC; return true;
    default: return false;
  }
}

// Truncating needs a writable descriptor even when the handle may only read.
int access_flags(bool can_read, bool can_write, bool truncates) {
  if (can_write && !can_read) return O_WRONLY;
  if (can_write || truncates) return O_RDWR;
  return O_RDONLY;
}

HANDLE fail_from_errno() {
  set_last_error_from_errno();
  return INVALID_HANDLE_VALUE;
}

HANDLE fail_with(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

// O_NONBLOCK keeps open() from hanging on a FIFO without a writer; reads
// and writes are blocking again afterwards, as Win32 file handles are.
int open_descriptor(const std::string& path, int flags, mode_t mode) {
  int descriptor;
  do descriptor = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK, mode);
  while (descriptor < 0 && errno == EINTR);
  if (descriptor >= 0) ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
  return descriptor;
}

// A file that goes when its handle closes needs no name meanwhile: made
// unnamed in its folder (O_TMPFILE), nothing is left if the process dies.
// -1 with errno set; EOPNOTSUPP when the folder's file system cannot.
int open_unnamed(const std::string& path, int access, mode_t mode) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  int descriptor;
  do descriptor = ::open(folder.c_str(), O_TMPFILE | access | O_CLOEXEC, mode);
  while (descriptor < 0 && errno == EINTR);
  // Kernels and file systems without unnamed files say so in these ways.
  if (descriptor < 0 && (errno == EISDIR || errno == EINVAL || errno == ENOTSUP)) errno = EOPNOTSUPP;
  return descriptor;
}

bool name_in_use(const std::string& path) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

// A new file that goes with its handle: unnamed where the file system allows
// (`unnamed` set), else under its name, which the handle's close removes.
int open_deleted_on_close(const std::string& path, int flags, mode_t mode, bool& unnamed) {
  if (!name_in_use(path)) {
    const int descriptor = open_unnamed(path, flags & O_ACCMODE, mode);
    unnamed = descriptor >= 0;
    if (unnamed || errno != EOPNOTSUPP) return descriptor;
  }
  return open_descriptor(path, flags, mode);
}

// The rights of the descriptor's file, before anyone may open it: its group
// first (the group bits only mean the same for the same group), then the bits.
void apply_security(int descriptor, const LinuxFileSecurity& security) {
  struct stat status {};
  mode_t permissions = security.permissions;
  if (::fstat(descriptor, &status) == 0 && status.st_gid != security.group &&
      ::fchown(descriptor, static_cast<uid_t>(-1), security.group) != 0) {
    permissions &= ~static_cast<mode_t>(S_IRWXG);
  }
  ::fchmod(descriptor, permissions);
}

}  // namespace

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES security_attributes, DWORD creation,
                   DWORD flags_and_attributes, HANDLE) {
  std::string path;
  if (!path_to_utf8(name, path)) return INVALID_HANDLE_VALUE;
  int flags = 0;
  bool can_read = access & GENERIC_READ;
  bool can_write = access & GENERIC_WRITE;
  if (!creation_flags(creation, flags)) return fail_with(ERROR_INVALID_PARAMETER);
  if (creation == TRUNCATE_EXISTING && !can_write) return fail_with(ERROR_INVALID_PARAMETER);
  if (can_write) ignore_file_size_signal();

  struct stat before {};
  bool existed = ::stat(path.c_str(), &before) == 0;
  LinuxFileSecurity security{};
  const bool secured = file_security_of(security_attributes, &security);
  // A file with given rights is private until it has them.
  mode_t mode = secured ? 0600 : (flags_and_attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  const int access_mode = access_flags(can_read, can_write, flags & O_TRUNC);
  const bool delete_on_close = flags_and_attributes & FILE_FLAG_DELETE_ON_CLOSE;
  const bool creates = (flags & O_CREAT) && !existed;
  bool unnamed = false;
  const int descriptor =
      delete_on_close && creates && access_mode != O_RDONLY
          ? open_deleted_on_close(path, flags | access_mode, mode, unnamed)
          : open_descriptor(path, flags | access_mode, mode);
  if (descriptor < 0) {
    set_last_error_for_path(path);
    return INVALID_HANDLE_VALUE;
  }
  if (secured && creates) apply_security(descriptor, security);

  std::shared_ptr<OpenFile> file = kernel_object_create<OpenFile>();
  if (!file) {
    ::close(descriptor);
    return INVALID_HANDLE_VALUE;
  }
  file->descriptor = descriptor;
  struct stat opened {};
  if (::fstat(descriptor, &opened) != 0) return fail_from_errno();
  // A folder is not a file: Win32 refuses to open one this way.
  if (S_ISDIR(opened.st_mode)) return fail_with(ERROR_ACCESS_DENIED);
  file->can_read = can_read;
  file->can_write = can_write;
  file->is_regular = S_ISREG(opened.st_mode);
  if (unnamed) file->unnamed_path = path;
  else if (delete_on_close) file->delete_path = path;
  HANDLE handle = handle_table_insert(file);
  if (!handle) return INVALID_HANDLE_VALUE;
  if (((flags_and_attributes & FILE_ATTRIBUTE_TEMPORARY) || delete_on_close) && creates && !unnamed)
    interrupt_cleanup_watch(path);
  bool reports_existing = creation == CREATE_ALWAYS || creation == OPEN_ALWAYS;
  SetLastError(reports_existing && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL CloseHandle(HANDLE object) {
  call_noted(object, "CloseHandle");
  std::shared_ptr<OpenFile> file = handle_table_remove_as<OpenFile>(object);
  if (!file) return FALSE;
  // Another thread still inside ReadFile/WriteFile keeps the descriptor
  // open until it returns; otherwise close now so that errors are seen.
  if (file.use_count() > 1) return TRUE;
  int descriptor = file->descriptor;
  file->descriptor = -1;
  if (::close(descriptor) != 0 && errno != EINTR) {
    set_last_error_from_errno();
    return FALSE;
  }
  return TRUE;
}
