// GetCurrentProcessId: the kernel's id of this process.
#include <unistd.h>

#include "platform/win32/kernel32.h"

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }
