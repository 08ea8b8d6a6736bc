// USER32 case mapping. The mapping is built in (simple Unicode case pairs for
// ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic) and does not depend
// on the process locale; other characters stay as they are.
#pragma once

#include "platform/win32/types.h"

// With a string: converts it in place up to its terminator and returns it.
// With a single character in the low word of the pointer value (high bits
// zero): returns the converted character in the low word.
IFS_WIN32_BEGIN
LPWSTR CharLowerW(LPWSTR text);
LPWSTR CharUpperW(LPWSTR text);
IFS_WIN32_END
