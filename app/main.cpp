// Program entry, for now a demonstration of the engine: it measures the
// built-in IFS after seeding the generator with 1234 and, given a .ifs file,
// that file's table, and prints the boxes and view transforms it finds. The
// desktop program takes this place once its shell exists.
#include <cstdio>
#include <string>

#include "app/chaos_game.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"
#include "runtime/core/random.h"
#include "runtime/core/text.h"
#include "runtime/file/file.h"

namespace {

constexpr ObjectId DEMO_FILE = 0;

std::u16string from_utf8(const char* text) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (length <= 1) return {};
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
  wide.pop_back();  // the terminator
  return wide;
}

std::string to_utf8(std::u16string_view text) {
  const int wide_length = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide_length, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

void print_measurement(const char* title) {
  const BoundsBox box = measure_attractor();
  const BoundsBox square = square_box(box);
  RenderState& render = app_state().render;
  view_transform_fit(render, square);
  render.x = render.y = 0.0f;
  std::printf("%s (%d maps)\n", title, app_state().table.map_count);
  std::printf("  measured box  x %.6f .. %.6f  y %.6f .. %.6f\n", box.min_x, box.max_x, box.min_y, box.max_y);
  std::printf("  squared box   x %.6f .. %.6f  y %.6f .. %.6f\n", square.min_x, square.max_x, square.min_y,
              square.max_y);
  std::printf("  view transform  scale_x %.4f  scale_y %.4f  offset_x %.4f  offset_y %.4f\n", render.scale_x,
              render.scale_y, render.offset_x, render.offset_y);
}

// Counts the maps, or returns 0 after naming the first line that is not
// seven numbers separated by single spaces.
std::int32_t count_valid_lines() {
  std::int32_t count = 0;
  while (file_eof(DEMO_FILE) == 0) {
    const std::u16string line = file_read_line(DEMO_FILE, FILE_ANSI);
    ++count;
    if (text_count(line, u" ") != 6) {
      std::printf("line %d is not seven numbers separated by single spaces: %s\n", count, to_utf8(line).c_str());
      return 0;
    }
  }
  return count;
}

bool read_table(std::int32_t map_count) {
  IfsTable& table = app_state().table;
  if (!ifs_table_resize(table, map_count)) {
    std::printf("%d maps do not fit in memory\n", map_count);
    return false;
  }
  file_seek(DEMO_FILE, 0, 0);
  for (std::int32_t map = 0; map <= table.last_map; ++map) {
    const std::u16string line = file_read_line(DEMO_FILE, FILE_ANSI);
    for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter)
      ifs_set(table, parameter, map, text_to_float(text_field(line, parameter + 1, u" ")));
  }
  return true;
}

bool load_table(const char* argument) {
  const std::u16string name = text_trim(from_utf8(argument));
  if (file_size(name.c_str()) <= 0) {
    std::printf("%s: missing, empty or a directory\n", argument);
    return false;
  }
  if (!file_open_read(DEMO_FILE, name.c_str())) {
    std::printf("%s: cannot be opened\n", argument);
    return false;
  }
  const std::int32_t map_count = count_valid_lines();
  const bool loaded = map_count > 0 && read_table(map_count);
  file_close(DEMO_FILE);
  return loaded;
}

}  // namespace

int main(int argc, char** argv) {
  if (!main_heap_create() || !file_library_init()) return 1;
  std::printf("ifs-render: a demonstration of the engine (chaos game and view measurement, no drawing yet)\n");
  random_seed(1234);
  print_measurement("built-in IFS, generator seeded with 1234");
  int status = 0;
  if (argc > 1) {
    if (load_table(argv[1]))
      print_measurement(argv[1]);
    else
      status = 1;
  }
  file_library_free();
  main_heap_destroy();
  return status;
}
