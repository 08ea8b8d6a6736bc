// The kernel object behind a file handle: a POSIX descriptor and the access
// the handle was opened with (Win32 checks access per handle, not per file).
#pragma once

#include <unistd.h>

#include <string>

#include "platform/kernel32/handle_table.h"
#include "platform/kernel32/interrupt_cleanup.h"

struct OpenFile : KernelObject {
  int descriptor = -1;
  bool can_read = false;
  bool can_write = false;
  bool is_regular = false;  // pipes and terminals return short reads
  // FILE_FLAG_DELETE_ON_CLOSE: the name an unnamed file was created under,
  // which CreateHardLinkW still finds it by; or the name to remove at close.
  std::string unnamed_path;
  std::string delete_path;

  ~OpenFile() override {
    if (descriptor >= 0) ::close(descriptor);
    if (delete_path.empty()) return;
    ::unlink(delete_path.c_str());
    interrupt_cleanup_forget(delete_path);
  }
};
