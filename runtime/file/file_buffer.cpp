// Buffered byte access: one ReadFile per buffer-full, bytes handed out from
// buffer + filled - pending.
#include <algorithm>
#include <cstring>

#include "platform/win32/kernel32.h"
#include "runtime/file/file_object.h"

namespace {

std::int32_t read_direct(HANDLE handle, void* destination, std::int32_t count) {
  DWORD read = 0;
  // A read error counts as the end of the file.
  if (!ReadFile(handle, destination, static_cast<DWORD>(count), &read, nullptr)) return 0;
  return static_cast<std::int32_t>(read);
}

// Files opened here are only read, so the buffer never holds written data to
// flush; leaving the writing state only resets the counters.
void enter_reading_state(FileObject* file) {
  if (file->reading) return;
  file->reading = 1;
  file->pending = 0;
}

const BYTE* next_byte(const FileObject* file) { return file->buffer + file->filled - file->pending; }

std::int32_t take_pending(FileObject* file, BYTE* destination, std::int32_t count) {
  std::memcpy(destination, next_byte(file), static_cast<std::size_t>(count));
  file->pending -= count;
  return count;
}

}  // namespace

std::int32_t file_read_bytes(FileObject* file, void* destination, std::int32_t count) {
  if (count <= 0) return 0;
  if (!file->buffer) return read_direct(file->handle, destination, count);
  enter_reading_state(file);
  auto* out = static_cast<BYTE*>(destination);
  if (file->pending >= count) return take_pending(file, out, count);

  const std::int32_t copied = take_pending(file, out, file->pending);
  const std::int32_t rest = count - copied;
  if (rest < file->buffer_size) {
    const std::int32_t read = read_direct(file->handle, file->buffer, file->buffer_size);
    file->filled = file->pending = read;
    return copied + take_pending(file, out + copied, std::min(rest, read));
  }
  // Large reads bypass the buffer; what it held can no longer be given back.
  file->filled = 0;
  return copied + read_direct(file->handle, out + copied, rest);
}

void file_push_back(FileObject* file, std::int32_t count) {
  if (file->buffer && file->pending + count <= file->filled) {
    file->pending += count;
    return;
  }
  // The bytes are not all in the buffer any more (or there is none): move the
  // platform position back instead, to just before them.
  const std::int32_t pending = file_discard_buffer(file);
  SetFilePointer(file->handle, -(pending + count), nullptr, FILE_CURRENT);
}

std::int32_t file_discard_buffer(FileObject* file) {
  if (!file->buffer) return 0;
  enter_reading_state(file);
  const std::int32_t pending = file->pending;
  file->pending = 0;
  file->filled = 0;
  return pending;
}
