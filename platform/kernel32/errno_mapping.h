// Translation of POSIX errno values into the Win32 error codes callers expect.
#pragma once

#include "platform/win32/types.h"

DWORD win32_error_from_errno(int error_number);

// SetLastError with the translation of the current errno.
void set_last_error_from_errno();
