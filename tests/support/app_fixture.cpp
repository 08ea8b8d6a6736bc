#include "support/app_fixture.h"

#include <filesystem>

#include "app/app_state.h"
#include "app/shell.h"
#include "support/gui_pixels.h"
#include "platform/win32/process_arguments.h"
#include "runtime/core/startup.h"
#include "runtime/graphics/canvas.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/window.h"

void PrintTo(const ShownMessage& message, std::ostream* out) {
  *out << "{\"" << std::string(message.caption.begin(), message.caption.end()) << "\", \""
       << std::string(message.text.begin(), message.text.end()) << "\"}";
}

void AppTest::SetUp() {
  backend_select(nullptr);
  headless_reset();
  ASSERT_TRUE(program_begin());
  started = true;
}

void AppTest::TearDown() {
  if (started) program_end();
  headless_reset();
}

std::string AppTest::write_file(const std::string& name, const std::string& text) {
  const std::string path = folder.file(name);
  ::write_file(path, Bytes(text.begin(), text.end()));
  return path;
}

int AppTest::mkdir_all(const std::string& name) {
  std::error_code error;
  std::filesystem::create_directories(folder.file(name), error);
  return error ? 1 : 0;
}

void AppTest::start(const std::optional<std::string>& file) {
  std::vector<const char*> arguments{"ifs-render"};
  if (file) arguments.push_back(file->c_str());
  kernel32_set_process_arguments(static_cast<int>(arguments.size()), arguments.data());
  ASSERT_TRUE(shell_start());
}

HWND AppTest::window() const { return window_handle(0); }

bool AppTest::handle_waiting() {
  for (std::int32_t code; (code = event_wait(0)) != 0;)
    if (!shell_dispatch(code)) return false;
  return true;
}

bool AppTest::pass_time(int milliseconds) {
  headless_advance_clock(static_cast<BackendTime>(milliseconds));
  return handle_waiting();
}

std::uint32_t AppTest::canvas_pixel(int x, int y) const {
  const DibView view = dib_view(reinterpret_cast<HBITMAP>(gadget_attribute_get(0, CANVAS_BACK_BUFFER)));
  return dib_pixel(view, x, y);
}

std::vector<std::uint32_t> AppTest::canvas_pixels() const {
  const DibView view = dib_view(reinterpret_cast<HBITMAP>(gadget_attribute_get(0, CANVAS_BACK_BUFFER)));
  std::vector<std::uint32_t> pixels;
  for (int y = 0; y < view.height; ++y)
    for (int x = 0; x < view.width; ++x) pixels.push_back(dib_pixel(view, x, y));
  return pixels;
}

int AppTest::lit_pixels() const {
  int lit = 0;
  for (const std::uint32_t pixel : canvas_pixels()) lit += pixel != 0;
  return lit;
}

std::vector<ShownMessage> AppTest::messages() const {
  std::vector<ShownMessage> shown;
  for (const HeadlessRequesterRecord& record : headless_requesters_shown())
    if (record.kind == HEADLESS_MESSAGE_BOX) shown.push_back({record.title, record.text});
  return shown;
}

std::vector<HeadlessRequesterRecord> AppTest::file_dialogs() const {
  std::vector<HeadlessRequesterRecord> shown;
  for (const HeadlessRequesterRecord& record : headless_requesters_shown())
    if (record.kind != HEADLESS_MESSAGE_BOX) shown.push_back(record);
  return shown;
}

std::vector<float> AppTest::table_values() const {
  const IfsTable& table = app_state().table;
  return std::vector<float>(table.values.get(), table.values.get() + 7 * static_cast<std::size_t>(table.map_count));
}
