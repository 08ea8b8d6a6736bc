// What the shell does when the user opens, drops or saves a file.
#include "app/chaos_game.h"
#include "app/loader.h"
#include "app/progressive_drawing.h"
#include "app/shell.h"
#include "app/shell_state.h"
#include "app/shortened_text.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/user32.h"
#include "runtime/core/random.h"
#include "runtime/core/system_reason.h"
#include "runtime/core/text.h"
#include "runtime/graphics/canvas.h"
#include "runtime/graphics/draw_image.h"
#include "runtime/graphics/drawing_session.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/image.h"
#include "runtime/graphics/image_save.h"
#include "runtime/gui/drop.h"
#include "runtime/gui/requester.h"
#include "runtime/gui/window.h"

namespace {

constexpr std::int32_t SAVE_PATTERN_PNG = 0;
constexpr const char16_t* SAVE_CAPTION = u"Save";

// Only the last three characters count, whatever case: "graphifs" passes too.
bool names_ifs_file(std::u16string_view name) { return text_equal(text_lower(text_right(name, 3)), u"ifs"); }

// The generator as start-up leaves it: seeded, then the built-in table's
// measurement drawn.
void random_restart_as_at_start_up() {
  random_seed(APP_RANDOM_SEED);
  for (int step = 0; step < MEASURE_WARM_UP_STEPS + MEASURE_STEPS; ++step) random_next(IFS_CHOICE_COUNT - 1);
}

// Where the loaded table sits in its library, so that the page keys can move on from it.
void remember_library(const LoadRequest& request, const LoadOutcome& outcome) {
  ShellState& shell = shell_state();
  shell.library_count = outcome.table_count;
  shell.library_index = outcome.table_index;
  shell.library = request;
  shell.library.table_name.clear();
}

}  // namespace

void shell_load(const LoadRequest& request) {
  const LoadOutcome& outcome = load_ifs_request(request);
  if (!outcome.loaded) return;
  remember_library(request, outcome);
  const std::u16string title =
      outcome.table_name.empty() ? std::u16string(APP_TITLE) : text_concat(APP_TITLE, u" - ", outcome.table_name);
  window_title_set(APP_WINDOW, title.c_str());
}

void shell_page_flow(std::int64_t step) {
  ShellState& shell = shell_state();
  const std::int64_t count = shell.library_count;
  if (count <= 0) return;
  LoadRequest request = shell.library;
  request.table_index = ((shell.library_index + step) % count + count) % count;
  // Each table paged to draws the points it draws when the program starts on
  // it, so its picture is the one `--output --name` gives; a table that is
  // not loaded leaves the drawing's sequence as it was.
  const RandomGenerator before = random_state;
  random_restart_as_at_start_up();
  shell_load(request);
  if (!loader_last_outcome().loaded) random_state = before;
  // A table that cannot be drawn is passed over by the next press rather
  // than blocking the way; the table shown stays until one loads.
  if (!loader_last_outcome().loaded && loader_last_outcome().table_count > 0) {
    shell.library_index = request.table_index;
    shell.library_count = loader_last_outcome().table_count;
  }
}

void shell_open_flow() {
  ShellState& shell = shell_state();
  const std::u16string file = requester_open_file(OPEN_TITLE, shell.open_dir.c_str(), OPEN_PATTERN, 0);
  if (file.empty()) return;
  shell.open_dir = path_part(file);
  shell_load(LoadRequest{file, {}, {}});
}

void shell_drop_flow() {
  std::u16string files = event_dropped_files();
  const std::int32_t line_feed = text_find(files, u"\n");
  if (line_feed > 0) files = text_mid(files, 1, line_feed - 1);  // the first name only
  if (names_ifs_file(files)) shell_load(LoadRequest{files, {}, {}});
}

void shell_save_flow() {
  ShellState& shell = shell_state();
  std::u16string file = requester_save_file(SAVE_TITLE, shell.save_dir.c_str(), SAVE_PATTERN, shell.save_pattern);
  if (file.empty()) return;
  shell.save_dir = path_part(file);
  shell.save_pattern = requester_selected_pattern();
  const bool png = shell.save_pattern == SAVE_PATTERN_PNG;
  const char16_t* extension = png ? u".png" : u".bmp";
  if (!text_equal(text_lower(text_right(file, 4)), extension)) file = text_concat(file, extension);
  // A failed save is reported: the user would otherwise believe it done.
  if (!shell_save_picture(file, png ? FORMAT_PNG : FORMAT_BMP)) {
    const std::u16string reason = system_reason_for_last_error();
    requester_message(SAVE_CAPTION, text_concat(shortened_text(file), u"\r\n", reason).c_str(), MB_OK);
  }
}

int shell_save_picture(std::u16string_view file, std::uint32_t format) {
  const std::intptr_t bitmap = gadget_attribute_get(APP_CANVAS, CANVAS_BACK_BUFFER);
  image_create(APP_IMAGE, APP_CANVAS_SIZE, APP_CANVAS_SIZE);
  if (drawing_begin(image_output(APP_IMAGE))) {
    draw_image(bitmap, 0, 0);
    drawing_end();
  }
  const std::u16string name(file);
  const int saved = image_save(APP_IMAGE, name.c_str(), format);
  const DWORD reason = GetLastError();
  image_free(APP_IMAGE);
  SetLastError(reason);  // the save's, not the clean-up's
  return saved;
}
