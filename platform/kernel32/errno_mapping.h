// Translation of POSIX errno values into the Win32 error codes callers expect.
#pragma once

#include "platform/win32/types.h"

DWORD win32_error_from_errno(int error_number);

// SetLastError with the translation of the current errno.
void set_last_error_from_errno();

// SetLastError(error), remembering the errno it stands for, so that
// FormatMessageW can give the system's own reason for that failure.
void set_last_error_with_errno(DWORD error, int error_number);

// The errno behind the calling thread's last error, or 0 when the last
// error did not come from a failed system call.
int errno_behind_last_error();
