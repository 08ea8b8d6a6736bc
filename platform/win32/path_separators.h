// Helper with no Win32 counterpart: which units separate folders in the
// system's file names. Windows takes "\" and "/"; on Linux only "/" does,
// and "\" is an ordinary character of a name.
#pragma once

#include "platform/win32/types.h"

BOOL kernel32_is_path_separator(WCHAR unit);
