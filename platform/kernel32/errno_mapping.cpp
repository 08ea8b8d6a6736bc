// errno -> Win32 error codes, as a Windows program would see the same failure.
#include "platform/kernel32/errno_mapping.h"

#include <cerrno>

#include "platform/win32/kernel32.h"

DWORD win32_error_from_errno(int error_number) {
  switch (error_number) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case EBUSY: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_FILE_EXISTS;
    case ENOSPC:
    case EFBIG:
    case EDQUOT: return ERROR_DISK_FULL;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF: return ERROR_INVALID_HANDLE;
    case EINVAL:
    case ESPIPE: return ERROR_INVALID_PARAMETER;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EXDEV: return ERROR_NOT_SAME_DEVICE;
    case ELOOP: return ERROR_INVALID_NAME;
    default: return ERROR_GEN_FAILURE;
  }
}

namespace {

// The errno recorded with the last error it was translated into.
thread_local int recorded_errno = 0;
thread_local DWORD recorded_error = ERROR_SUCCESS;

}  // namespace

void set_last_error_with_errno(DWORD error, int error_number) {
  recorded_errno = error_number;
  recorded_error = error;
  SetLastError(error);
}

void set_last_error_from_errno() {
  const int error_number = errno;
  set_last_error_with_errno(win32_error_from_errno(error_number), error_number);
}

int errno_behind_last_error() { return GetLastError() == recorded_error ? recorded_errno : 0; }
