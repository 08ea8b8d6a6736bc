// The end-of-file test, reading bytes as they are, and moving the read
// position.
#include "platform/win32/kernel32.h"
#include "runtime/file/file.h"
#include "runtime/file/file_object.h"

std::int32_t file_eof(ObjectId number) {
  FileObject* file = file_lookup(number);
  if (!file) return 0;
  BYTE byte;
  if (file_read_bytes(file, &byte, 1) != 1) return 1;
  file_push_back(file, 1);
  return 0;
}

std::int32_t file_read_data(ObjectId number, void* destination, std::int32_t count) {
  FileObject* file = file_lookup(number);
  return file ? file_read_bytes(file, destination, count) : 0;
}

std::uint32_t file_seek(ObjectId number, std::int64_t position, std::int32_t mode) {
  FileObject* file = file_lookup(number);
  if (!file) return 0;
  // The platform position stands ahead of the read position by the bytes
  // still pending in the buffer.
  const std::int32_t pending = file_discard_buffer(file);
  const bool relative = mode == 1;
  const std::uint64_t distance = relative ? static_cast<std::uint64_t>(position) - static_cast<std::uint64_t>(pending)
                                          : static_cast<std::uint64_t>(position);
  LONG high = static_cast<LONG>(static_cast<std::uint32_t>(distance >> 32));
  return SetFilePointer(file->handle, static_cast<LONG>(static_cast<std::uint32_t>(distance)), &high,
                        relative ? FILE_CURRENT : FILE_BEGIN);
}
