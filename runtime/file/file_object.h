// The record behind a file number, and the buffered byte access that line
// reading and the end-of-file test share.
#pragma once

#include <cstdint>

#include "platform/win32/types.h"
#include "runtime/core/registry.h"

struct FileObject {
  HANDLE handle;
  BYTE* buffer;  // null: unbuffered
  std::int32_t buffer_size;
  // Reading: bytes of the filled part not yet handed out (the last `pending`
  // ones). Writing: free space left.
  std::int32_t pending;
  std::int32_t filled;  // valid bytes after the last refill
  std::int32_t reading;  // 1: holds read data or nothing; 0: unflushed written data
};

ObjectRegistry* file_registry();
FileObject* file_lookup(ObjectId number);

// Reads up to count bytes through the buffer (or directly when unbuffered);
// the number of bytes read, 0 at the end of the file or on a read error.
std::int32_t file_read_bytes(FileObject* file, void* destination, std::int32_t count);
// Gives back the last count bytes read so that the next read returns them.
void file_push_back(FileObject* file, std::int32_t count);
// Leaves the buffer empty, so that the platform position is the read position.
// The result is the number of bytes that were pending.
std::int32_t file_discard_buffer(FileObject* file);
