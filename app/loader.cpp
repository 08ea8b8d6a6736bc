#include "app/loader.h"

#include <string>

#include "app/app_state.h"
#include "app/chaos_game.h"
#include "app/progressive_drawing.h"
#include "app/shell_state.h"
#include "app/shortened_text.h"
#include "platform/win32/user32.h"
#include "runtime/core/text.h"
#include "runtime/file/file.h"
#include "runtime/gui/requester.h"
#include "runtime/gui/window.h"

namespace {

constexpr const char16_t* LOAD_CAPTION = u"Load IFS";
constexpr const char16_t* LINE_CAPTION = u"IFS load";
constexpr std::int32_t FIELD_SEPARATORS = IFS_PARAMETER_COUNT - 1;
static_assert(LOADER_DEFAULT_MAP_LIMIT <= IFS_MAX_MAPS, "the table must be able to hold what the loader allows");

std::int64_t map_limit = LOADER_DEFAULT_MAP_LIMIT;

void show_message(const char16_t* caption, const std::u16string& text) {
  requester_message(caption, text.c_str(), MB_OK);
}

// The number of lines, or 0 after showing the first line that does not hold
// exactly six spaces. Counted in 64 bits: a file can hold more lines than
// a 32-bit count can.
std::int64_t count_valid_lines(const std::u16string& name) {
  std::int64_t count = 0;
  while (file_eof(LOADER_FILE) == 0) {
    const std::u16string line = file_read_line(LOADER_FILE, FILE_ANSI);
    ++count;
    if (text_count(line, u" ") != FIELD_SEPARATORS) {
      show_message(LINE_CAPTION, text_concat(u"wrong parameter ", shortened_text(line), u"\r\n", name));
      return 0;
    }
  }
  return count;
}

void read_maps(IfsTable& table) {
  file_seek(LOADER_FILE, 0, 0);
  for (std::int32_t map = 0; map <= table.last_map; ++map) {
    const std::u16string line = file_read_line(LOADER_FILE, FILE_ANSI);
    for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter)
      ifs_set(table, parameter, map, text_to_float(text_field(line, parameter + 1, u" ")));
  }
}

// Resizes and fills the table; false, with table, canvas and timer as they
// were, when the table cannot grow that large.
bool replace_table(std::int64_t count, const std::u16string& name) {
  IfsTable& table = app_state().table;
  if (count > map_limit || !ifs_table_resize(table, static_cast<std::int32_t>(count))) {
    const std::string digits = std::to_string(count);
    const std::u16string maps(digits.begin(), digits.end());
    show_message(LOAD_CAPTION, text_concat(u"Not enough memory for the ", maps, u" maps of ", name));
    return false;
  }
  read_maps(table);
  return true;
}

void start_drawing_once() {
  ShellState& shell = shell_state();
  if (shell.timer_pending != 1) return;
  shell.timer_pending = 0;
  timer_add(APP_WINDOW, DRAW_TIMER, DRAW_TIMER_INTERVAL_MS);
}

}  // namespace

void loader_map_limit_set(std::int64_t maps) {
  map_limit = maps < 0 ? 0 : maps > IFS_MAX_MAPS ? IFS_MAX_MAPS : maps;
}

void load_ifs(std::u16string_view requested_name) {
  const std::u16string name = text_trim(requested_name);
  if (name.empty()) {
    show_message(LOAD_CAPTION, u"Wrong name!");
    return;
  }
  if (file_size(name.c_str()) <= 0) {
    show_message(LOAD_CAPTION, text_concat(u"Wrong size ", name));
    return;
  }
  if (!file_open_read(LOADER_FILE, name.c_str())) {
    show_message(LOAD_CAPTION, text_concat(u"Error read ", name));
    return;
  }
  const std::int64_t count = count_valid_lines(name);
  if (count > 0 && replace_table(count, name)) {
    measure_bounds();
    app_state().render.x = 0.0f;
    app_state().render.y = 0.0f;
    clear_canvas();
    start_drawing_once();
  }
  file_close(LOADER_FILE);
}
