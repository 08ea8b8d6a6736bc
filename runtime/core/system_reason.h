// The reason the system gave for a failure, as one line of text for a
// message box or a command line.
#pragma once

#include <string>

#include "platform/win32/types.h"

// The system's text for `error`, without its line end; empty when the system
// has no text for it.
std::u16string system_reason(DWORD error);
// The same for the calling thread's last error.
std::u16string system_reason_for_last_error();
