// The loader's two passes over file 0 in the seven-number format. The first
// checks every line and, when one is refused, decides whether the file starts
// like a library; the second fills the table and must read exactly the lines
// the first one checked, so that a file changed in between is refused rather
// than loaded as another table. Used by loader.cpp only.
#pragma once

#include <cstdint>
#include <string>

#include "app/ifs_table.h"

// How far past the last line read the search for a library header goes
// through blank lines and comments: a file of zeros or blank lines is
// refused after this much, not after reading all of it.
inline constexpr std::int64_t LIBRARY_HEADER_SEARCH_BYTES = 1 << 20;

struct FirstPass {
  std::int64_t count = 0;            // lines, when every one is valid
  std::int64_t rejected_number = 0;  // 1-based; 0 when every line is valid
  std::u16string rejected;           // as shown: a long line is cut short
  std::int32_t rejected_spaces = 0;
  bool starts_with_block = false;    // with a rejected line: the file reads as a library
  std::uint64_t fingerprint = 0;     // of the lines read
};

// From the start of the file, just opened. Counted in 64 bits: a file can hold more lines
// than a 32-bit count can.
FirstPass loader_first_pass();
// Fills `table` (sized for first.count maps) from the start of the file;
// false when what it read is not what the first pass read.
bool loader_second_pass(IfsTable& table, const FirstPass& first);
