// ReadFile, WriteFile and FlushFileBuffers over POSIX read/write/fsync.
#include <unistd.h>

#include <cerrno>

#include "platform/kernel32/errno_mapping.h"
#include "platform/kernel32/open_file.h"
#include "platform/win32/kernel32.h"

namespace {

BOOL fail_with(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// Reads until count bytes or the end of the file; a pipe or terminal
// returns what one read gives, as Win32 does for them.
bool read_fully(const OpenFile& file, char* buffer, DWORD count, DWORD& done) {
  while (done < count) {
    ssize_t got = ::read(file.descriptor, buffer + done, count - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    done += static_cast<DWORD>(got);
    if (got == 0 || !file.is_regular) break;
  }
  return true;
}

// Writes everything or fails: a full disk or the file-size limit (EFBIG,
// with SIGXFSZ ignored) ends in failure with the count actually written.
bool write_fully(const OpenFile& file, const char* buffer, DWORD count, DWORD& done) {
  while (done < count) {
    ssize_t put = ::write(file.descriptor, buffer + done, count - done);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    if (put == 0) {
      errno = ENOSPC;
      return false;
    }
    done += static_cast<DWORD>(put);
  }
  return true;
}

}  // namespace

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD bytes_to_read, LPDWORD bytes_read, LPOVERLAPPED overlapped) {
  if (bytes_read) *bytes_read = 0;
  if (overlapped) return fail_with(ERROR_INVALID_PARAMETER);  // no asynchronous files here
  std::shared_ptr<OpenFile> file = handle_table_find_as<OpenFile>(handle);
  if (!file) return FALSE;
  if (!file->can_read) return fail_with(ERROR_ACCESS_DENIED);
  if (!buffer && bytes_to_read) return fail_with(ERROR_INVALID_PARAMETER);
  DWORD done = 0;
  bool read_ok = read_fully(*file, static_cast<char*>(buffer), bytes_to_read, done);
  if (bytes_read) *bytes_read = done;
  if (!read_ok) {
    set_last_error_from_errno();
    return FALSE;
  }
  return TRUE;  // at the end of the file: TRUE with 0 bytes
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD bytes_to_write, LPDWORD bytes_written, LPOVERLAPPED overlapped) {
  if (bytes_written) *bytes_written = 0;
  if (overlapped) return fail_with(ERROR_INVALID_PARAMETER);
  std::shared_ptr<OpenFile> file = handle_table_find_as<OpenFile>(handle);
  if (!file) return FALSE;
  if (!file->can_write) return fail_with(ERROR_ACCESS_DENIED);
  if (!buffer && bytes_to_write) return fail_with(ERROR_INVALID_PARAMETER);
  DWORD done = 0;
  bool write_ok = write_fully(*file, static_cast<const char*>(buffer), bytes_to_write, done);
  if (bytes_written) *bytes_written = done;
  if (!write_ok) {
    set_last_error_from_errno();
    return FALSE;
  }
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE handle) {
  std::shared_ptr<OpenFile> file = handle_table_find_as<OpenFile>(handle);
  if (!file) return FALSE;
  if (!file->can_write) return fail_with(ERROR_ACCESS_DENIED);
  if (::fsync(file->descriptor) != 0 && errno != EINVAL) {  // EINVAL: a pipe, nothing to flush
    set_last_error_from_errno();
    return FALSE;
  }
  return TRUE;
}
