// The kernel object behind a file handle: a POSIX descriptor and the access
// the handle was opened with (Win32 checks access per handle, not per file).
#pragma once

#include <unistd.h>

#include "platform/kernel32/handle_table.h"

struct OpenFile : KernelObject {
  int descriptor = -1;
  bool can_read = false;
  bool can_write = false;
  bool is_regular = false;  // pipes and terminals return short reads

  ~OpenFile() override {
    if (descriptor >= 0) ::close(descriptor);
  }
};
