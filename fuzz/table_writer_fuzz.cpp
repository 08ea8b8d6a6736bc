// The table --write-ifs writes, read back by the loader: any bytes are loaded
// as a .ifs file (seven-number or block format), and when they make a table,
// that table is written in the seven-number format through the same atomic
// writer, loaded again, and must come back the same, map for map and bit for
// bit (any NaN for a NaN). Now and then the table is repeated into one of
// several thousand maps, so that the text is written in more than one piece.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/loader.h"
#include "cli/table_output.h"
#include "fuzz/fuzz_program.h"
#include "fuzz/fuzz_shell.h"

namespace {

// Maps of a repeated table: its text then runs past the writer's 64 KiB pieces.
constexpr std::int32_t REPEATED_MAPS = 6000;
constexpr unsigned REPEAT_EVERY = 64;

std::string input_path;
std::string written_path;
unsigned tables = 0;

std::u16string wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

bool same_value(float expected, float found) {
  if (std::isnan(expected)) return std::isnan(found);
  return std::memcmp(&expected, &found, sizeof expected) == 0;
}

bool same_table(const IfsTable& expected, const IfsTable& found) {
  if (expected.map_count != found.map_count || expected.last_map != found.last_map) return false;
  for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter)
    for (std::int32_t map = 0; map < expected.map_count; ++map)
      if (!same_value(ifs_get(expected, parameter, map), ifs_get(found, parameter, map))) return false;
  return true;
}

IfsTable copy_of(const IfsTable& table, std::int32_t maps) {
  IfsTable copy;
  fuzz_check(ifs_table_resize(copy, maps));
  for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter)
    for (std::int32_t map = 0; map < maps; ++map)
      ifs_set(copy, parameter, map, ifs_get(table, parameter, map % table.map_count));
  return copy;
}

// Written, then loaded: the loaded table must be the one written, and it
// must have been read as a seven-number file.
void check_written_back(const IfsTable& table) {
  fuzz_check(table_output_to_file(table, wide(written_path)));
  const LoadOutcome& again = load_ifs_request(LoadRequest{wide(written_path), {}, {}});
  fuzz_check(again.loaded && again.messages.empty() && again.table_name.empty());
  fuzz_check(same_table(table, app_state().table));
  fuzz_shell_idle();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  input_path = fuzz_scratch_path("table_writer.ifs");
  written_path = fuzz_scratch_path("table_writer_written.ifs");
  fuzz_shell_start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!fuzz_write_file(input_path, data, size)) return 0;
  const LoadOutcome& first = load_ifs_request(LoadRequest{wide(input_path), {}, {}});
  const bool loaded = first.loaded;
  fuzz_shell_idle();
  if (!loaded) return 0;
  const IfsTable& table = app_state().table;
  fuzz_check(table.map_count > 0);
  const IfsTable loaded_table = copy_of(table, table.map_count);
  check_written_back(loaded_table);
  if (++tables % REPEAT_EVERY == 1) check_written_back(copy_of(loaded_table, REPEATED_MAPS));
  return 0;
}
