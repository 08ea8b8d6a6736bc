// ExitProcess: buffered output reaches its files, then the process ends
// with the code at once, without running static destructors while other
// threads may still use what they would destroy.
#include <unistd.h>

#include <cstdio>

#include "platform/win32/kernel32.h"

void ExitProcess(UINT exit_code) {
  std::fflush(nullptr);
  _exit(static_cast<int>(exit_code));
}
