// Reading a .ifs file into the map table: one map per line, seven numbers
// a b c d e f p separated by single spaces. Every line is checked before the
// table is touched, so a load either replaces the whole table or changes
// nothing. Every outcome is shown to the user or visible on the canvas.
// A file those rules refuse is read as a library of named tables when it
// starts like one (app/ifs_library.h); every file they accept reads as before.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::int32_t LOADER_FILE = 0;
inline constexpr std::int32_t DRAW_TIMER = 123;
inline constexpr std::int32_t DRAW_TIMER_INTERVAL_MS = 1500;
inline constexpr std::int32_t APP_WINDOW = 0;

void load_ifs(std::u16string_view name);

// A load as the command line asks for it: a table picked by name from a file
// in the block format, and a name to show in messages other than the path
// opened (standard input is read from a copy).
struct LoadRequest {
  std::u16string path;
  std::u16string shown_name;  // empty: the path as given
  std::u16string table_name;  // empty: the file's first table
  std::int64_t table_index = -1;  // 0 or more: the table at that position instead of by name
  // Yaw, pitch and roll in degrees: how a 3-D table is turned before it is projected.
  std::array<double, 3> rotation_degrees{};
};

// A message box the loader showed, as the user saw it.
struct LoadMessage {
  std::u16string caption;
  std::u16string text;
};

// A field of a seven-number line that is not wholly a number, such as "0,16"
// or a header's "a": the loader reads what it can of it, often 0.
struct OddField {
  std::int64_t line = 0;    // 1-based
  std::int32_t field = 0;   // 1-based, of the seven
  std::u16string text;      // as written, cut short when long
  float value = 0.0f;       // as read
};
inline constexpr std::size_t LOADER_ODD_FIELDS_KEPT = 10;

// What a load did, for the shell (the table's name in the window title) and
// for the command line, which prints the message boxes and more than they say.
struct LoadOutcome {
  bool loaded = false;
  std::u16string table_name;  // of the block loaded; empty for a seven-number file
  std::int64_t table_index = -1;  // position of the block tried in its library; -1 for none
  std::int64_t table_count = 0;   // tables in the library read; 0 for a seven-number file
  std::u16string shown_name;  // the file as the messages name it
  std::int64_t line = 0;      // 1-based line of the fault; 0 when none
  std::u16string reason;      // what was wrong, beyond the message box's words
  std::uint32_t system_error = 0;  // the platform's error code of a failed open; 0 when none
  std::vector<LoadMessage> messages;  // in the order shown
  // A loaded seven-number file's fields that are not numbers: the first
  // LOADER_ODD_FIELDS_KEPT of them, and how many there are in all.
  std::vector<OddField> odd_fields;
  std::int64_t odd_field_count = 0;
  // A refused seven-number file whose lines read as the maps of one table of
  // the block format: wrapped in NAME { ... } it would load.
  bool reads_as_block_body = false;
};

const LoadOutcome& load_ifs_request(const LoadRequest& request);
const LoadOutcome& loader_last_outcome();

// The names of the tables in a file of the block format (none for a
// seven-number file), or nothing after showing why the file cannot be read,
// as a load would show it. The table is not touched.
std::optional<std::vector<std::u16string>> loader_table_names(const LoadRequest& request);

// The most maps a load may make: a file with more lines is refused with a
// message instead of the table growing past what memory allows.
inline constexpr std::int64_t LOADER_DEFAULT_MAP_LIMIT = 1 << 24;
void loader_map_limit_set(std::int64_t maps);
