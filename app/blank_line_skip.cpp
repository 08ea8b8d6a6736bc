#include "app/blank_line_skip.h"

#include "runtime/file/file.h"

namespace {

constexpr std::int32_t CHUNK = 1 << 16;

bool ends_line(unsigned char byte) { return byte == '\n' || byte == '\r' || byte == 0; }
// White space inside a line; CR and LF end it.
bool is_space(unsigned char byte) { return byte == ' ' || byte == '\t' || byte == '\v' || byte == '\f'; }

class Scan {
 public:
  // False at the first byte of a line that is not blank.
  bool take(unsigned char byte) {
    ++offset_;
    if (after_cr_ && byte == '\n') {  // the second half of CR LF
      after_cr_ = false;
      line_start_ = offset_;
      return true;
    }
    after_cr_ = false;
    if (ends_line(byte)) {
      ++lines_;
      after_cr_ = byte == '\r';
      in_comment_ = false;
      line_start_ = offset_;
      return true;
    }
    if (in_comment_ || is_space(byte)) return true;
    if (byte == ';') return in_comment_ = true;
    return false;
  }
  // A last line without a line end that was blank too.
  void end_of_file() {
    if (offset_ > line_start_) ++lines_;
    line_start_ = offset_;
  }
  std::int64_t lines() const { return lines_; }
  std::int64_t offset() const { return offset_; }
  std::int64_t line_start() const { return line_start_; }
  // A CR was the last byte: an LF next would still belong to its line end.
  bool after_cr() const { return after_cr_; }

 private:
  std::int64_t offset_ = 0;
  std::int64_t line_start_ = 0;
  std::int64_t lines_ = 0;
  bool after_cr_ = false;
  bool in_comment_ = false;
};

}  // namespace

BlankLines skip_blank_lines(ObjectId file, std::int64_t limit) {
  Scan scan;
  unsigned char chunk[CHUNK];
  BlankLines result;
  std::int64_t read = 0;
  while (!result.content_follows && (read <= limit || scan.after_cr())) {
    const std::int32_t got = file_read_data(file, chunk, CHUNK);
    if (got <= 0) {
      scan.end_of_file();
      break;
    }
    read += got;
    for (std::int32_t at = 0; at < got && !result.content_follows; ++at) result.content_follows = !scan.take(chunk[at]);
  }
  // Back to the start of the line the scan stopped in; a line left at the
  // limit is not counted, so it is read again from its start.
  if (read > scan.line_start()) file_seek(file, scan.line_start() - read, 1);
  result.count = scan.lines();
  return result;
}
