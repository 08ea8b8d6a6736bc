// Writes a file so that a failed or killed save destroys nothing and leaves
// nothing behind. The bytes go to a temporary file in the target's folder,
// opened to be deleted when its handle closes, so that the system removes it
// however the program ends (on Linux it has no name at all meanwhile). Once
// everything is written and flushed, it gets a second, hidden name (a hard
// link) that outlives the handle, and that name replaces the target. Where
// the file system has no hard links, the bytes are copied to a plain hidden
// temporary file instead. On any failure the temporaries go and an existing
// file of the target's name stays as it was.
// Otherwise it behaves as writing the file would: a symbolic link is followed
// and its target replaced, the replaced file keeps its permissions from the
// start (and owner and group where the user may set them), and a file the
// user may not write is refused before anything is created. A hard link to
// the target is not kept: the new picture is a new file, the other names keep
// the old one; extended attributes are not copied.
// Every failure leaves the system's reason in the last error.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/win32/types.h"

struct SafeFileWriter {
  HANDLE file;  // the temporary file, or INVALID_HANDLE_VALUE when closed
  std::u16string target_name;     // the final name, links followed
  std::u16string temporary_name;  // the name the temporary file was created under
  std::vector<BYTE> security;     // the replaced file's security descriptor, or empty
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
// Flushes and puts the file in the target's place; on failure nothing is
// left behind. Either way the writer is finished.
bool safe_file_commit(SafeFileWriter* writer);
// Closes the temporary file, which the system removes; the target is untouched.
void safe_file_abandon(SafeFileWriter* writer);
