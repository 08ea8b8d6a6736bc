// Writes a file so that a failed save destroys nothing: the bytes go to a
// temporary file in the target's folder, which replaces the target only once
// everything has been written and flushed. On any failure the temporary file
// is removed and an existing file of the target's name stays as it was.
// Otherwise it behaves as writing the file would: a symbolic link is followed
// and its target replaced, the replaced file keeps its permission bits (and
// owner and group where the user may set them), and a file the user may not
// write is refused before anything is created. A hard link is not kept: the
// new picture is a new file, the other names keep the old one.
// Every failure leaves the system's reason in the last error.
#pragma once

#include <cstddef>
#include <string>

#include "platform/win32/types.h"

struct SafeFileWriter {
  HANDLE file;  // the temporary file, or INVALID_HANDLE_VALUE when closed
  std::u16string target_name;     // the final name, links followed
  std::u16string temporary_name;
  bool replaces;  // the target exists: its identity is kept
  bool failed;    // a write went wrong: commit refuses
  DWORD error;    // the first failure's reason, restored after cleaning up
};

// Creates the temporary file beside target_name; false (nothing created) when
// the name is empty, the target may not be written or the folder cannot
// take a new file.
bool safe_file_open(SafeFileWriter* writer, LPCWSTR target_name);
// All of the bytes or failure; after a failure every later call fails too.
bool safe_file_write(SafeFileWriter* writer, const void* data, std::size_t length);
// Flushes, closes and renames over the target; on failure removes the
// temporary file. Either way the writer is finished.
bool safe_file_commit(SafeFileWriter* writer);
// Closes and removes the temporary file; the target is untouched.
void safe_file_abandon(SafeFileWriter* writer);
