#include "runtime/file/long_line.h"

#include <cstdint>

#include "platform/win32/kernel32.h"

namespace {

constexpr std::size_t PIECE = 65536;
constexpr BYTE LF = 10;
constexpr BYTE CR = 13;

// The read position: the platform's, less what the buffer still holds.
bool read_position(FileObject* file, std::int64_t& position) {
  LONG high = 0;
  SetLastError(ERROR_SUCCESS);
  const DWORD low = SetFilePointer(file->handle, 0, &high, FILE_CURRENT);
  if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS) return false;
  position = static_cast<std::int64_t>(static_cast<std::uint64_t>(static_cast<DWORD>(high)) << 32 | low);
  if (file->buffer != nullptr) position -= file->pending;
  return true;
}

bool move_to(FileObject* file, std::int64_t position) {
  file_discard_buffer(file);
  LONG high = static_cast<LONG>(static_cast<std::uint64_t>(position) >> 32);
  SetLastError(ERROR_SUCCESS);
  const DWORD low = SetFilePointer(file->handle, static_cast<LONG>(position & 0xFFFFFFFF), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS);
}

bool ends_line(BYTE byte, bool ignore_line_ends) {
  return byte == 0 || (!ignore_line_ends && (byte == LF || byte == CR));
}

// Bytes from here to the end of the line, the line end not counted.
std::size_t bytes_to_line_end(FileObject* file, bool ignore_line_ends) {
  std::size_t count = 0;
  for (BYTE byte; file_read_bytes(file, &byte, 1) == 1 && !ends_line(byte, ignore_line_ends);) ++count;
  return count;
}

// Where a piece may end without cutting a character in two: before a lead byte
// among the last three whose sequence may go on. Such a byte always starts a
// character, so decoding the pieces gives what decoding the whole would.
std::size_t safe_end(const BYTE* bytes, std::size_t length) {
  for (std::size_t back = 1; back <= 3 && back <= length; ++back) {
    if (bytes[length - back] >= 0xC0) return length - back;
  }
  return length;
}

std::size_t decode_piece(UINT code_page, const BYTE* bytes, std::size_t length, char16_t* out, std::size_t room) {
  if (length == 0) return 0;
  const int units = MultiByteToWideChar(code_page, 0, reinterpret_cast<LPCSTR>(bytes), static_cast<int>(length),
                                        out, static_cast<int>(room));
  return units > 0 ? static_cast<std::size_t>(units) : 0;
}

// Decodes `count` bytes from the read position into `line`, which has room
// for as many units (no byte gives more than one unit on average).
std::size_t decode_line(FileObject* file, std::size_t count, UINT code_page, std::u16string& line) {
  BYTE piece[PIECE + 3];
  std::size_t carried = 0;
  std::size_t units = 0;
  while (count > 0 || carried > 0) {
    const std::size_t wanted = count < PIECE ? count : PIECE;
    const std::int32_t got = wanted ? file_read_bytes(file, piece + carried, static_cast<std::int32_t>(wanted)) : 0;
    count = got > 0 ? count - static_cast<std::size_t>(got) : 0;  // a file that shrank ends the line early
    const std::size_t length = carried + static_cast<std::size_t>(got > 0 ? got : 0);
    const std::size_t end = count > 0 ? safe_end(piece, length) : length;
    units += decode_piece(code_page, piece, end, line.data() + units, line.size() - units);
    carried = length - end;
    for (std::size_t i = 0; i < carried; ++i) piece[i] = piece[end + i];
    if (count == 0 && carried == 0) break;
  }
  return units;
}

// The line end, as the ordinary reading consumes it: CR LF is one line end.
void consume_line_end(FileObject* file, bool ignore_line_ends) {
  BYTE byte;
  if (file_read_bytes(file, &byte, 1) != 1 || ignore_line_ends || byte != CR) return;
  BYTE next;
  if (file_read_bytes(file, &next, 1) == 1 && next != LF) file_push_back(file, 1);
}

}  // namespace

bool long_line_read(FileObject* file, std::size_t stored, bool ignore_line_ends, UINT code_page,
                    std::u16string& line) {
  std::int64_t now = 0;
  if (!read_position(file, now)) return false;
  const std::int64_t start = now - static_cast<std::int64_t>(stored);
  const std::size_t count = stored + bytes_to_line_end(file, ignore_line_ends);
  if (!move_to(file, start)) return false;
  line.assign(count, u'\0');
  line.resize(decode_line(file, count, code_page, line));
  consume_line_end(file, ignore_line_ends);
  return true;
}
