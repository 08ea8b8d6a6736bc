#include "app/loader_passes.h"

#include "app/blank_line_skip.h"
#include "app/ifs_library.h"
#include "app/loader.h"
#include "app/loader_steps.h"
#include "app/number_field.h"
#include "app/shortened_text.h"
#include "runtime/core/text.h"
#include "runtime/file/file.h"

namespace {

constexpr std::int32_t FIELD_SEPARATORS = IFS_PARAMETER_COUNT - 1;

// FNV-1a over the lines' code units, each line closed by its length, so that
// the same text split into other lines differs.
class LineFingerprint {
 public:
  void add(std::u16string_view line) {
    for (const char16_t unit : line) mix(unit);
    mix(line.size());
  }
  std::uint64_t value() const { return value_; }

 private:
  void mix(std::uint64_t word) {
    value_ ^= word;
    value_ *= 0x100000001B3ull;
  }
  std::uint64_t value_ = 0xCBF29CE484222325ull;
};

std::u16string next_line() { return file_read_line(LOADER_FILE, FILE_ANSI); }

// The first line that is neither blank nor a comment decides whether the file
// reads as a library. The lines after a refused one are searched only so far.
bool header_follows() {
  if (!skip_blank_lines(LOADER_FILE, LIBRARY_HEADER_SEARCH_BYTES).content_follows) return false;
  return ifs_library_is_header(next_line());
}

// Fields split at single spaces, as the table is filled: each one that is not
// wholly a number is noted in the outcome.
void note_odd_fields(std::u16string_view line, std::int64_t line_number) {
  LoadOutcome& outcome = loader_outcome();
  std::size_t start = 0;
  for (std::int32_t field = 1; field <= IFS_PARAMETER_COUNT; ++field) {
    const std::size_t space = line.find(u' ', start);
    const std::size_t end = space == std::u16string_view::npos ? line.size() : space;
    const std::u16string_view text = line.substr(start, end - start);
    if (!number_field_is_number(text)) {
      if (outcome.odd_fields.size() < LOADER_ODD_FIELDS_KEPT) {
        const std::u16string kept(text);
        outcome.odd_fields.push_back(OddField{line_number, field, shortened_text(kept), text_to_float(kept)});
      }
      ++outcome.odd_field_count;
    }
    if (space == std::u16string_view::npos) break;
    start = space + 1;
  }
}

}  // namespace

FirstPass loader_first_pass() {
  FirstPass pass;
  LineFingerprint fingerprint;
  bool first_content_seen = false;
  while (file_eof(LOADER_FILE) == 0) {
    const std::u16string line = next_line();
    fingerprint.add(line);
    ++pass.count;
    if (!first_content_seen && !ifs_library_is_blank(line)) {
      first_content_seen = true;
      pass.starts_with_block = ifs_library_is_header(line);
    }
    const std::int32_t spaces = text_count(line, u" ");
    if (spaces != FIELD_SEPARATORS) {
      pass.rejected_number = pass.count;
      pass.rejected = shortened_text(line);
      pass.rejected_spaces = spaces;
      pass.count = 0;
      if (!first_content_seen) pass.starts_with_block = header_follows();
      break;
    }
  }
  pass.fingerprint = fingerprint.value();
  return pass;
}

bool loader_second_pass(IfsTable& table, const FirstPass& first) {
  LineFingerprint fingerprint;
  file_seek(LOADER_FILE, 0, 0);
  for (std::int32_t map = 0; map <= table.last_map; ++map) {
    const std::u16string line = next_line();
    fingerprint.add(line);
    loader_fill_map(table, map, line);
    note_odd_fields(line, map + 1);
  }
  return file_eof(LOADER_FILE) != 0 && fingerprint.value() == first.fingerprint;
}
