// The block format in which IFS collections are shared: several named tables
// in one file,
//
//   fern {            ; a comment runs from ';' to the end of the line
//     0 0 0 .16 0 0 .01
//     .85 .04 -.04 .85 0 1.6 .85
//   }
//   fern3d (3D) { ... }
//
// one map per line, its seven numbers a b c d e f p (thirteen for a 3-D
// table) separated by any white space. This is read beside the loader's own
// seven-number format, never instead of it: the loader turns here only for a
// file its own rules refuse.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Where a file or a block stops making sense: its 1-based line and what was
// expected there. Line 0: no fault.
struct IfsLibraryFault {
  std::int64_t line = 0;
  std::u16string expected;
};

struct IfsBlock {
  std::u16string name;
  std::int64_t line = 0;  // the line of its header
  bool three_d = false;
  // One entry per map: its numbers as written, joined by single spaces, so
  // that a map reads exactly like a line of the seven-number format.
  std::vector<std::u16string> maps;
  IfsLibraryFault fault;
};

struct IfsLibrary {
  std::vector<IfsBlock> blocks;
  // Text outside every block; such a file is refused whole.
  IfsLibraryFault fault;
};

// True when the line, without its comment, has the shape `NAME {` or
// `NAME (options) {`.
bool ifs_library_is_header(std::u16string_view line);
// True when the line would be a header but for spaces in its name, as in
// `my fern {`: words, the first not a number, then the opening brace.
bool ifs_library_is_spaced_header(std::u16string_view line);
// True when a line is white space, a comment, or both.
bool ifs_library_is_blank(std::u16string_view line);

// Reads a library line by line, so that a large file need not be held whole.
// A fault inside a block is kept with that block and the reading goes on, so
// the other blocks of the file stay usable; text outside every block ends it.
class IfsLibraryReader {
 public:
  void read_line(std::u16string_view line);
  // Lines that are blank or comments, passed over without being read: they
  // only count.
  void pass_blank_lines(std::int64_t count) { line_ += count; }
  // The library read so far, its last block closed.
  IfsLibrary finish();

 private:
  IfsBlock& block() { return library_.blocks.back(); }
  void begin_block(std::u16string_view name, std::u16string_view options);
  void read_body(std::u16string_view text);
  void add_map(const std::vector<std::u16string_view>& numbers);
  void fault(std::u16string expected);

  IfsLibrary library_;
  std::int64_t line_ = 0;
  bool open_ = false;
};

// Every block of these lines.
IfsLibrary ifs_library_parse(const std::vector<std::u16string>& lines);

// The first block of that name; the first block of all for an empty name;
// null when there is none.
const IfsBlock* ifs_library_find(const IfsLibrary& library, std::u16string_view name);
