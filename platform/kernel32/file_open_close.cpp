// CreateFileW and CloseHandle over POSIX open/close.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

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

}  // namespace

HANDLE CreateFileW(LPCWSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creation,
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
  mode_t mode = (flags_and_attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  int descriptor = open_descriptor(path, flags | access_flags(can_read, can_write, flags & O_TRUNC), mode);
  if (descriptor < 0) {
    set_last_error_for_path(path);
    return INVALID_HANDLE_VALUE;
  }

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
  HANDLE handle = handle_table_insert(file);
  if (!handle) return INVALID_HANDLE_VALUE;
  if ((flags_and_attributes & FILE_ATTRIBUTE_TEMPORARY) && !existed) interrupt_cleanup_watch(path);
  bool reports_existing = creation == CREATE_ALWAYS || creation == OPEN_ALWAYS;
  SetLastError(reports_existing && existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL CloseHandle(HANDLE object) {
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
