// Linux-side helper with no Win32 counterpart: where writing a file would
// write. Windows follows a symbolic link inside CreateFileW; a caller that
// puts a temporary file beside its target needs to know the target's folder
// before anything is created, and a dangling link has no file to open.
#pragma once

#include <string>

#include "platform/win32/types.h"

// The name that writing `name` writes: symbolic links in its last component
// followed, to a name that may not exist yet (a dangling link's target). On
// Windows the system follows links itself; there the result is the full name.
// FALSE with the last error for a bad name or a loop of links
// (ERROR_CANT_RESOLVE_FILENAME).
BOOL kernel32_final_write_name(LPCWSTR name, std::u16string* final_name);
