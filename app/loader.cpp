#include "app/loader.h"

#include <functional>
#include <new>
#include <stdexcept>
#include <string>

#include "app/app_state.h"
#include "app/chaos_game.h"
#include "app/ifs_library.h"
#include "app/loader_library.h"
#include "app/loader_passes.h"
#include "app/loader_steps.h"
#include "app/progressive_drawing.h"
#include "platform/win32/kernel32.h"
#include "platform/win32/user32.h"
#include "runtime/core/system_reason.h"
#include "runtime/core/text.h"
#include "runtime/file/file.h"
#include "runtime/gui/requester.h"
#include "runtime/gui/window.h"

namespace {

static_assert(LOADER_DEFAULT_MAP_LIMIT <= IFS_MAX_MAPS, "the table must be able to hold what the loader allows");

std::int64_t map_limit = LOADER_DEFAULT_MAP_LIMIT;
LoadOutcome outcome;

// Files up to this size are read once more, when refused, to tell whether
// they hold a table of the block format without its header.
constexpr std::int64_t BLOCK_BODY_CHECK_BYTES = 16 << 20;

void reject_line(const FirstPass& check, const std::u16string& name, const std::u16string& shown) {
  loader_show(LINE_CAPTION, text_concat(u"wrong parameter ", check.rejected, u"\r\n", shown));
  outcome.line = check.rejected_number;
  const std::int32_t spaces = check.rejected_spaces;
  if (ifs_library_is_spaced_header(check.rejected))
    outcome.reason = text_concat(u"expected a block header NAME { whose name holds no spaces, not \"",
                                 check.rejected, u"\"");
  else
    outcome.reason = text_concat(u"expected seven numbers separated by single spaces, found ",
                                 loader_number_text(spaces), spaces == 1 ? u" space" : u" spaces");
  const std::u16string_view line = check.rejected;
  const bool loosely_written = line.find(u"  ") != line.npos || line.find(u'\t') != line.npos ||
                               line.find(u';') != line.npos;
  const std::int64_t size = file_size(name.c_str());
  outcome.reads_as_block_body =
      loosely_written && size > 0 && size <= BLOCK_BODY_CHECK_BYTES && loader_reads_as_block_body();
}

// Refused as a failed read: the table the first pass checked is not the one
// the second would load.
void reject_changed_file(const std::u16string& shown) {
  loader_show(LOAD_CAPTION, text_concat(u"Error read ", shown));
  outcome.reason = u"the file changed while it was read";
}

// Whatever was being built is gone; the table is as it was.
void show_no_memory(const std::u16string& shown) {
  LoadOutcome cleared;
  cleared.shown_name = outcome.shown_name;
  cleared.reason = u"not enough memory";
  cleared.messages = std::move(outcome.messages);
  outcome = std::move(cleared);
  loader_show(LOAD_CAPTION, text_concat(u"Not enough memory to read ", shown));
}

void start_drawing_once() {
  AppState& state = app_state();
  if (state.timer_pending != 1) return;
  state.timer_pending = 0;
  timer_add(APP_WINDOW, DRAW_TIMER, DRAW_TIMER_INTERVAL_MS);
}

void record_system_failure(DWORD error, std::u16string reason) {
  outcome.system_error = error;
  outcome.reason = std::move(reason);
}

// The name's checks and the opening of file 0, each refusal shown as the
// loader shows it; true with the file open.
bool open_checked(const std::u16string& name, const std::u16string& shown) {
  if (name.empty()) {
    loader_show(LOAD_CAPTION, u"Wrong name!");
    outcome.reason = u"the file name is empty";
    return false;
  }
  const std::int64_t size = file_size(name.c_str());
  if (size <= 0) {
    const DWORD error = GetLastError();
    // Asked now, while the system still knows why: the message box may change the last error.
    const std::u16string reason = system_reason(error);
    loader_show(LOAD_CAPTION, text_concat(u"Wrong size ", shown));
    if (size == 0) outcome.reason = u"the file is empty";
    else if (size == -2) outcome.reason = u"Is a directory";
    else record_system_failure(error != ERROR_SUCCESS ? error : ERROR_FILE_NOT_FOUND, reason);
    return false;
  }
  if (!file_open_read(LOADER_FILE, name.c_str())) {
    const DWORD error = GetLastError();
    record_system_failure(error, system_reason(error));
    loader_show(LOAD_CAPTION, text_concat(u"Error read ", shown));
    return false;
  }
  return true;
}

void begin_outcome(const LoadRequest& request, std::u16string& name, std::u16string& shown) {
  outcome = {};
  name = text_trim(request.path);
  shown = request.shown_name.empty() ? name : request.shown_name;
  outcome.shown_name = shown;
}

}  // namespace

void loader_map_limit_set(std::int64_t maps) {
  map_limit = maps < 0 ? 0 : maps > IFS_MAX_MAPS ? IFS_MAX_MAPS : maps;
}

LoadOutcome& loader_outcome() { return outcome; }

bool loader_new_table(std::int64_t count, const std::u16string& shown, IfsTable& table) {
  if (count > map_limit || !ifs_table_resize(table, static_cast<std::int32_t>(count))) {
    const std::u16string maps = loader_number_text(count);
    loader_show(LOAD_CAPTION, text_concat(u"Not enough memory for the ", maps, u" maps of ", shown));
    return false;
  }
  return true;
}

void loader_fill_map(IfsTable& table, std::int32_t map, std::u16string_view line) {
  for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter)
    ifs_set(table, parameter, map, text_to_float(text_field(line, parameter + 1, u" ")));
}

void loader_finish(IfsTable&& table, SpaceMaps&& space) {
  app_state().table = std::move(table);
  app_state().space = std::move(space);
  measure_bounds();
  app_state().render.x = 0.0f;
  app_state().render.y = 0.0f;
  app_state().space.z = 0.0f;
  clear_canvas();
  start_drawing_once();
  outcome.loaded = true;
}

const LoadOutcome& loader_last_outcome() { return outcome; }

void load_ifs(std::u16string_view name) { load_ifs_request(LoadRequest{std::u16string(name), {}, {}}); }

const LoadOutcome& load_ifs_request(const LoadRequest& request) {
  std::u16string name, shown;
  begin_outcome(request, name, shown);
  if (!open_checked(name, shown)) return outcome;
  loader_guard_memory(shown, [&] {
    const FirstPass check = loader_first_pass();
    IfsTable table;
    if (check.rejected_number != 0) {
      // A file the seven-number rules refuse may still be a block library.
      if (check.starts_with_block) loader_load_block(request, shown);
      else reject_line(check, name, shown);
    } else if (!request.table_name.empty() || request.table_index >= 0) {
      loader_show_missing_table(request.table_name, {}, shown);
    } else if (loader_new_table(check.count, shown, table)) {
      if (loader_second_pass(table, check)) loader_finish(std::move(table));
      else reject_changed_file(shown);
    }
  });
  file_close(LOADER_FILE);
  return outcome;
}

std::optional<std::vector<std::u16string>> loader_table_names(const LoadRequest& request) {
  std::u16string name, shown;
  begin_outcome(request, name, shown);
  if (!open_checked(name, shown)) return std::nullopt;
  std::optional<std::vector<std::u16string>> names;
  loader_guard_memory(shown, [&] {
    const FirstPass check = loader_first_pass();
    if (check.rejected_number == 0) names.emplace();
    else if (check.starts_with_block) names = loader_block_names(shown);
    else reject_line(check, name, shown);
  });
  file_close(LOADER_FILE);
  return names;
}

void loader_guard_memory(const std::u16string& shown, const std::function<void()>& work) {
  try {
    work();
  } catch (const std::bad_alloc&) {
    show_no_memory(shown);
  } catch (const std::length_error&) {
    show_no_memory(shown);
  }
}

void loader_show(const char16_t* caption, const std::u16string& text) {
  // The box shows the text up to its first zero, like any Win32 text.
  outcome.messages.push_back(LoadMessage{caption, text.c_str()});
  requester_message(caption, text.c_str(), MB_OK);
}

std::u16string loader_number_text(std::int64_t number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}
