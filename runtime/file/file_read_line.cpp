// Reading one line: bytes (converted through a code page) or little-endian
// UTF-16 code units, up to LF, CR, CR LF, a zero unit or the end of the file.
#include <cstdint>

#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"
#include "runtime/file/file.h"
#include "runtime/file/file_object.h"
#include "runtime/file/long_line.h"

namespace {

constexpr SIZE_T LINE_BUFFER_STEP = 4096;
constexpr char16_t LF = 10;
constexpr char16_t CR = 13;

// A line of units in the main heap, growing by 4096 bytes and always keeping
// room for a terminator.
template <typename Unit>
class LineBuffer {
 public:
  LineBuffer() : units_(allocate(LINE_BUFFER_STEP)), capacity_(units_ ? LINE_BUFFER_STEP / sizeof(Unit) : 0) {}
  ~LineBuffer() {
    if (units_) HeapFree(main_heap(), 0, units_);
  }
  LineBuffer(const LineBuffer&) = delete;
  LineBuffer& operator=(const LineBuffer&) = delete;

  bool valid() const { return units_ != nullptr; }
  const Unit* units() const { return units_; }
  std::size_t count() const { return count_; }

  // False when the buffer could not grow.
  bool append(Unit unit) {
    if (count_ + 1 >= capacity_ && !grow()) return false;
    units_[count_++] = unit;
    return true;
  }

 private:
  static Unit* allocate(SIZE_T bytes) { return static_cast<Unit*>(HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, bytes)); }

  bool grow() {
    const SIZE_T bytes = capacity_ * sizeof(Unit) + LINE_BUFFER_STEP;
    auto* grown = static_cast<Unit*>(HeapReAlloc(main_heap(), HEAP_ZERO_MEMORY, units_, bytes));
    if (!grown) return false;
    units_ = grown;
    capacity_ = bytes / sizeof(Unit);
    return true;
  }

  Unit* units_;
  std::size_t capacity_;
  std::size_t count_ = 0;
};

bool read_unit(FileObject* file, BYTE& unit) { return file_read_bytes(file, &unit, 1) == 1; }

bool read_unit(FileObject* file, char16_t& unit) {
  BYTE bytes[2];
  if (file_read_bytes(file, bytes, 2) != 2) return false;
  unit = static_cast<char16_t>(bytes[0] | bytes[1] << 8);
  return true;
}

// After a CR: an LF makes the pair one line end; anything else is given back
// for the next read.
template <typename Unit>
void finish_carriage_return(FileObject* file) {
  Unit next;
  if (read_unit(file, next) && next != LF) file_push_back(file, sizeof(Unit));
}

enum LineRead { LINE_DONE, LINE_OUT_OF_MEMORY, LINE_PAST_LIMIT };

// Reads up to the line end, or stops once `limit` units are stored.
template <typename Unit>
LineRead read_units(FileObject* file, bool ignore_line_ends, LineBuffer<Unit>& line,
                    std::size_t limit = SIZE_MAX) {
  Unit unit;
  while (line.count() < limit) {
    if (!read_unit(file, unit) || unit == 0) break;
    if (!ignore_line_ends && unit == LF) break;
    if (!ignore_line_ends && unit == CR) {
      finish_carriage_return<Unit>(file);
      break;
    }
    if (!line.append(unit)) return LINE_OUT_OF_MEMORY;
  }
  return line.count() < limit ? LINE_DONE : LINE_PAST_LIMIT;
}

std::u16string read_utf16_line(FileObject* file, bool ignore_line_ends) {
  LineBuffer<char16_t> line;
  if (!line.valid() || read_units(file, ignore_line_ends, line) != LINE_DONE) return {};
  return std::u16string(line.units(), line.count());
}

std::u16string decode(UINT code_page, const BYTE* bytes, std::size_t count) {
  if (count == 0) return {};
  const auto* text = reinterpret_cast<LPCSTR>(bytes);
  const int length = static_cast<int>(count);
  const int wide_length = MultiByteToWideChar(code_page, 0, text, length, nullptr, 0);
  if (wide_length <= 0) return {};
  std::u16string result(static_cast<std::size_t>(wide_length), u'\0');
  MultiByteToWideChar(code_page, 0, text, length, result.data(), wide_length);
  return result;
}

std::u16string read_byte_line(FileObject* file, bool ignore_line_ends, UINT code_page) {
  LineBuffer<BYTE> line;
  if (!line.valid()) return {};
  LineRead read = read_units(file, ignore_line_ends, line, LONG_LINE_BYTES);
  if (read == LINE_PAST_LIMIT) {
    std::u16string text;
    if (long_line_read(file, line.count(), ignore_line_ends, code_page, text)) return text;
    read = read_units(file, ignore_line_ends, line);  // a pipe: held whole after all
  }
  if (read != LINE_DONE) return {};
  return decode(code_page, line.units(), line.count());
}

}  // namespace

std::u16string file_read_line(ObjectId number, std::uint32_t flags) {
  FileObject* file = file_lookup(number);
  if (!file) return {};
  const bool ignore_line_ends = (flags & FILE_IGNORE_EOL) != 0;
  switch (flags & FILE_FORMAT_MASK) {
    case FILE_UTF16:
      return read_utf16_line(file, ignore_line_ends);
    case FILE_UTF8:
      return read_byte_line(file, ignore_line_ends, CP_UTF8);
    default:
      return read_byte_line(file, ignore_line_ends, CP_ACP);
  }
}
