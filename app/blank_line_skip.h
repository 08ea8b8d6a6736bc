// Runs of blank lines and comments in the block format, passed over at memory
// speed: a file of zeros or of blank lines costs what reading its bytes
// costs, not a line read per byte. Lines are counted as file_read_line ends
// them (LF, CR, CR LF, a zero byte; a last line without a line end).
#pragma once

#include <cstdint>

#include "runtime/core/registry.h"

struct BlankLines {
  std::int64_t count = 0;       // lines passed over
  bool content_follows = false;  // a line that is not blank starts at the read position
};

// From the read position, which must be at the start of a line, over at most
// `limit` bytes; the read position is then at the start of the first line
// not passed over (or at the end of the file).
BlankLines skip_blank_lines(ObjectId file, std::int64_t limit = INT64_MAX);
