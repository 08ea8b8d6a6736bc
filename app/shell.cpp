#include "app/shell.h"

#include "app/app_state.h"
#include "app/chaos_game.h"
#include "app/loader.h"
#include "app/program_parameters.h"
#include "app/progressive_drawing.h"
#include "app/shell_state.h"
#include "platform/win32/user32.h"
#include "runtime/core/random.h"
#include "runtime/core/startup.h"
#include "runtime/file/file.h"
#include "runtime/graphics/canvas.h"
#include "runtime/gui/drop.h"
#include "runtime/gui/escape_key.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/event_queue.h"
#include "runtime/gui/menu.h"
#include "runtime/gui/requester.h"
#include "runtime/gui/shortcut.h"
#include "runtime/gui/window.h"

namespace {

void build_menu() {
  if (!menu_create(APP_MENU, window_handle(APP_WINDOW))) return;  // no menu, no shortcuts
  menu_title(u"File");
  menu_item(MENU_OPEN, u"Open\u2026\tCtrl+O");
  menu_item(MENU_SAVE, u"Save\u2026\tCtrl+S");
  menu_bar();
  menu_item(MENU_QUIT, u"Quit\tEsc");
  shortcut_add(APP_WINDOW, SHORTCUT_OPEN, MENU_OPEN);
  shortcut_add(APP_WINDOW, SHORTCUT_SAVE, MENU_SAVE);
  shortcut_add(APP_WINDOW, VK_NEXT, KEY_NEXT_TABLE);
  shortcut_add(APP_WINDOW, VK_PRIOR, KEY_PREVIOUS_TABLE);
}

bool open_main_window() {
  const std::int32_t inner_height = APP_CANVAS_SIZE + GetSystemMetrics(SM_CYMENUSIZE);
  return window_open(APP_WINDOW, 0, 0, APP_CANVAS_SIZE, inner_height, APP_TITLE, APP_WINDOW_FLAGS, nullptr) != 0;
}

// Escape held ends the program, unless the press began in a requester or menu
// (to close it); such a press is theirs until it is let go.
bool escape_held() {
  ShellState& shell = shell_state();
  const bool in_menu = menu_loop_took_escape();
  const bool in_requester = requester_took_escape();
  if (in_menu || in_requester) shell.escape_began_in_requester = true;
  if (!escape_key_down()) shell.escape_began_in_requester = false;
  return escape_key_down() && !shell.escape_began_in_requester;
}

// false: Quit was chosen.
bool dispatch_menu() {
  switch (event_menu_item()) {
    case MENU_QUIT:
      return false;
    case MENU_OPEN:
      shell_open_flow();
      break;
    case MENU_SAVE:
      shell_save_flow();
      break;
    case KEY_NEXT_TABLE:
      shell_page_flow(1);
      break;
    case KEY_PREVIOUS_TABLE:
      shell_page_flow(-1);
      break;
    default:
      break;
  }
  return true;
}

}  // namespace

bool shell_start() {
  program_parameters_reset();
  return shell_start_with(program_file_parameter());
}

bool shell_start_with(const std::optional<std::u16string>& initial_file) {
  if (!initial_file) return shell_start_with_request(std::nullopt);
  return shell_start_with_request(LoadRequest{*initial_file, {}, {}});
}

bool shell_start_with_request(const std::optional<LoadRequest>& initial_load) {
  // Tables, colours, point, transform and the built-in IFS; then the shell's
  // own values as a fresh process has them.
  app_state_reset();
  shell_state_reset();
  shell_state().open_dir = current_directory();
  if (!open_main_window()) return false;
  random_seed(APP_RANDOM_SEED);
  canvas_create(APP_CANVAS, 0, 0, APP_CANVAS_SIZE, APP_CANVAS_SIZE);
  gadget_drop_enable(APP_CANVAS, DROP_FILES, ACTION_COPY);
  build_menu();
  // Measured although it is never drawn: the view is defined before any load,
  // and the measurement's 10102 random numbers shape every later picture.
  measure_bounds();
  app_state().render.x = 0.0f;
  app_state().render.y = 0.0f;
  if (initial_load) shell_load(*initial_load);
  clear_canvas();
  shell_state().save_dir = current_directory();
  return true;
}

bool shell_dispatch(std::int32_t code) {
  shell_state().last_event = code;
  switch (code) {
    case EVENT_GADGET_DROP:
      shell_drop_flow();  // a bad file is reported in a message box
      break;
    case EVENT_MENU:
      if (!dispatch_menu()) return false;
      break;
    case EVENT_TIMER:
      draw_batch();
      break;
    default:
      break;
  }
  if (escape_held()) return false;
  return code != EVENT_CLOSE;
}

void shell_event_loop() {
  while (shell_dispatch(event_wait(-1))) {
  }
}

int shell_run() {
  if (!program_begin()) return EXIT_CODE_NO_HEAP;
  if (shell_start()) shell_event_loop();
  return program_end();
}

int shell_run_with_request(const std::optional<LoadRequest>& initial_load) {
  if (!program_begin()) return EXIT_CODE_NO_HEAP;
  if (shell_start_with_request(initial_load)) shell_event_loop();
  return program_end();
}

ShellState& shell_state() {
  static ShellState state;
  return state;
}

void shell_state_reset() { shell_state() = ShellState{}; }
