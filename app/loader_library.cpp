#include "app/loader_library.h"

#include <algorithm>
#include <cmath>

#include "app/blank_line_skip.h"
#include "app/ifs_library.h"
#include "app/loader_steps.h"
#include "runtime/core/text.h"
#include "runtime/file/file.h"

namespace {

// A screenful: a library of a million tables names the first few.
constexpr std::size_t MISSING_TABLE_NAMES_SHOWN = 20;
// Blank lines read one by one before the rest of their run is skipped.
constexpr int BLANK_LINES_BEFORE_SKIPPING = 64;

// Line by line: only the maps are kept, not the file's text. A long run of
// blank lines (a file padded with zeros) is passed over at memory speed.
IfsLibrary read_whole_file() {
  IfsLibraryReader reader;
  file_seek(LOADER_FILE, 0, 0);
  int blank_in_a_row = 0;
  while (file_eof(LOADER_FILE) == 0) {
    const std::u16string line = file_read_line(LOADER_FILE, FILE_ANSI);
    reader.read_line(line);
    blank_in_a_row = ifs_library_is_blank(line) ? blank_in_a_row + 1 : 0;
    if (blank_in_a_row < BLANK_LINES_BEFORE_SKIPPING) continue;
    reader.pass_blank_lines(skip_blank_lines(LOADER_FILE).count);
    blank_in_a_row = 0;
  }
  return reader.finish();
}

std::u16string quoted(std::u16string_view text) { return text_concat(u"\"", text, u"\""); }

// Shows a fault under the line error's caption, `where` naming its line
// ("Line", "Block "fern", line"); the command line prints the line and what
// was expected once more on a line of their own.
void show_fault(const std::u16string& where, const IfsLibraryFault& fault, const std::u16string& shown) {
  const std::u16string line = loader_number_text(fault.line);
  loader_show(LINE_CAPTION, text_concat(where, u" ", line, u": expected ", fault.expected, u"\r\n", shown));
  LoadOutcome& outcome = loader_outcome();
  outcome.line = fault.line;
  outcome.reason = text_concat(u"expected ", fault.expected);
}

std::vector<std::u16string> names_of(const IfsLibrary& library) {
  std::vector<std::u16string> names;
  for (const IfsBlock& block : library.blocks) names.push_back(block.name);
  return names;
}

// The library, or nothing after showing the text outside its blocks.
std::optional<IfsLibrary> read_library(const std::u16string& shown) {
  IfsLibrary library = read_whole_file();
  if (library.fault.line == 0) return library;
  show_fault(u"Line", library.fault, shown);
  return std::nullopt;
}

bool turns(const std::array<double, 3>& degrees) {
  for (const double angle : degrees)
    if (std::fmod(angle, 360.0) != 0.0) return true;
  return false;
}

// The weights go to the table, where the map choice reads them; the matrix
// and the offset to the space maps.
void load_space_block(const IfsBlock& block, const LoadRequest& request, const std::u16string& shown) {
  const std::int64_t count = static_cast<std::int64_t>(block.maps.size());
  IfsTable table;
  if (!loader_new_table(count, shown, table)) return;
  SpaceMaps space;
  space.active = true;
  space.values.resize(static_cast<std::size_t>(count) * SPACE_STORED_PER_MAP);
  for (std::int32_t map = 0; map <= table.last_map; ++map) {
    const std::u16string& line = block.maps[static_cast<std::size_t>(map)];
    float* stored = space.values.data() + static_cast<std::size_t>(map) * SPACE_STORED_PER_MAP;
    for (int number = 0; number < SPACE_STORED_PER_MAP; ++number)
      stored[number] = text_to_float(text_field(line, number + 1, u" "));
    ifs_set(table, IFS_P, map, text_to_float(text_field(line, SPACE_NUMBERS_PER_MAP, u" ")));
  }
  const std::array<double, 3>& degrees = request.rotation_degrees;
  space.turned = turns(degrees);
  space.turn = space_turn_from_degrees(degrees[0], degrees[1], degrees[2]);
  loader_finish(std::move(table), std::move(space));
  loader_outcome().table_name = block.name;
}

void load_block(const IfsBlock& block, const LoadRequest& request, const std::u16string& shown) {
  if (block.fault.line != 0) {
    show_fault(text_concat(u"Block ", quoted(block.name), u", line"), block.fault, shown);
    return;
  }
  if (block.three_d) {
    load_space_block(block, request, shown);
    return;
  }
  const std::int64_t count = static_cast<std::int64_t>(block.maps.size());
  IfsTable table;
  if (!loader_new_table(count, shown, table)) return;
  for (std::int32_t map = 0; map <= table.last_map; ++map) loader_fill_map(table, map, block.maps[map]);
  loader_finish(std::move(table));
  loader_outcome().table_name = block.name;
}

}  // namespace

void loader_load_block(const LoadRequest& request, const std::u16string& shown) {
  const std::optional<IfsLibrary> library = read_library(shown);
  if (!library) return;
  const std::int64_t count = static_cast<std::int64_t>(library->blocks.size());
  loader_outcome().table_count = count;
  const IfsBlock* block = request.table_index < 0 ? ifs_library_find(*library, request.table_name)
                          : request.table_index < count ? &library->blocks[static_cast<std::size_t>(request.table_index)]
                                                        : nullptr;
  if (!block) {
    loader_show_missing_table(request.table_name, names_of(*library), shown);
    return;
  }
  loader_outcome().table_index = block - library->blocks.data();
  load_block(*block, request, shown);
}

bool loader_reads_as_block_body() {
  IfsLibraryReader reader;
  reader.read_line(u"table {");
  file_seek(LOADER_FILE, 0, 0);
  while (file_eof(LOADER_FILE) == 0) reader.read_line(file_read_line(LOADER_FILE, FILE_ANSI));
  reader.read_line(u"}");
  const IfsLibrary library = reader.finish();
  return library.fault.line == 0 && library.blocks.size() == 1 && library.blocks.front().fault.line == 0;
}

std::optional<std::vector<std::u16string>> loader_block_names(const std::u16string& shown) {
  const std::optional<IfsLibrary> library = read_library(shown);
  if (!library) return std::nullopt;
  return names_of(*library);
}

void loader_show_missing_table(std::u16string_view table_name, const std::vector<std::u16string>& names,
                               const std::u16string& shown) {
  std::u16string listed;
  const std::size_t shown_names = std::min(names.size(), MISSING_TABLE_NAMES_SHOWN);
  for (std::size_t index = 0; index < shown_names; ++index) {
    if (index > 0) listed += u", ";
    listed += names[index];
  }
  if (shown_names < names.size())
    listed += text_concat(u" and ", loader_number_text(static_cast<std::int64_t>(names.size() - shown_names)), u" more");
  const std::u16string holds =
      names.empty() ? std::u16string(u"the file holds no named tables") : text_concat(u"the file holds ", listed);
  loader_show(LOAD_CAPTION, text_concat(u"No table named ", quoted(table_name), u"; ", holds, u"\r\n", shown));
  loader_outcome().reason = text_concat(u"no table named ", quoted(table_name), u"; ", holds);
}
