#include "app/command_line_renderer.h"

#include <unistd.h>

#include "app/app_state.h"
#include "app/loader.h"
#include "app/quality/quality_render.h"
#include "app/shell.h"
#include "app/shell_state.h"
#include "platform/backend/headless/headless.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/startup.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"

namespace {

constexpr int PROGRESS_BAR_WIDTH = 40;
// Ticks the clock may be moved on without a timer firing before the render
// gives up: the timer fires on every one, so a few are already plenty.
constexpr int IDLE_TICKS_LIMIT = 4;

std::u16string from_utf8(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (length <= 0) return {};
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

std::string to_utf8(std::u16string_view text) {
  if (text.empty()) return {};
  const int wide_length = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide_length, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

void print_help(std::FILE* out) {
  std::fputs(
      "Usage: ifs-render [FILE.ifs]\n"
      "       ifs-render --output OUT FILE.ifs [--batches N]\n"
      "       ifs-render --output OUT FILE.ifs [PICTURE OPTIONS]\n"
      "\n"
      "Draws the fractal of an iterated function system given as a .ifs file:\n"
      "one affine map per line, seven numbers a b c d e f p separated by single\n"
      "spaces (x' = a*x + b*y + e, y' = c*x + d*y + f, weight p).\n"
      "\n"
      "Without --output the desktop program opens its window (this build has no\n"
      "desktop display yet). With --output the picture is rendered without a\n"
      "display: FILE.ifs is loaded, N timer ticks of 20001 points each are drawn\n"
      "and the 600 x 600 picture is saved exactly as the desktop program saves it\n"
      "after N ticks.\n"
      "\n"
      "Options:\n"
      "  --output OUT   the picture to write; OUT must end in .png or .bmp\n"
      "  --batches N    timer ticks to draw (default 10)\n"
      "  --help         this text\n"
      "  --version      the program's version\n"
      "\n"
      "Picture options (set to anything but their defaults, or --points at all, they\n"
      "draw the picture with the quality renderer instead of the desktop program's):\n"
      "  --size WxH            picture size, up to 16384 a side (default 600x600)\n"
      "  --margin PERCENT      room on every side, share of the shorter side (0)\n"
      "  --points N            points to play (default 20 per pixel, at least 200010)\n"
      "  --seed N              seed of the points (default 1234)\n"
      "  --background COLOUR   #RRGGBB of pixels no point reached (default #000000)\n"
      "  --shade flat|density  last point's colour, or log-density shading (flat)\n"
      "  --gamma G             density brightness exponent 1/G, 0.1 to 10 (2.2)\n"
      "  --palette C1,C2,...   the maps' colours, #RRGGBB each (the eight pastels)\n"
      "  --supersample K       K x K samples per pixel, 1 to 8 (1)\n"
      "  --threads N           threads to draw on; same picture for any (all cores)\n"
      "  --depth 8|16          bits per channel of a PNG (8)\n"
      "\n"
      "Exit status: 0 rendered, 1 the picture could not be saved, 2 the .ifs file\n"
      "could not be loaded, 64 wrong arguments, 69 no desktop display.\n",
      out);
}

void print_progress(std::FILE* errors, std::int64_t done, std::int64_t total) {
  const std::int64_t filled = total > 0 ? done * PROGRESS_BAR_WIDTH / total : PROGRESS_BAR_WIDTH;
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(PROGRESS_BAR_WIDTH, '.');
  std::fprintf(errors, "\r[%s] %lld/%lld batches", bar.c_str(), static_cast<long long>(done),
               static_cast<long long>(total));
  if (done == total) std::fputc('\n', errors);
  std::fflush(errors);
}

// The loader's message boxes as the headless display recorded them; true when
// it showed any since `first`.
bool report_load_messages(std::size_t first, std::FILE* errors) {
  const std::vector<HeadlessRequesterRecord>& shown = headless_requesters_shown();
  bool reported = false;
  for (std::size_t index = first; index < shown.size(); ++index) {
    if (shown[index].kind != HEADLESS_MESSAGE_BOX) continue;
    std::fprintf(errors, "%s: %s\n", to_utf8(shown[index].title).c_str(), to_utf8(shown[index].text).c_str());
    reported = true;
  }
  return reported;
}

// Handles every event and message that is waiting; the number of timer
// events among them, or -1 when the shell's loop would have ended.
int dispatch_waiting_events() {
  int timer_events = 0;
  for (std::int32_t code; (code = event_wait(0)) != 0;) {
    if (code == EVENT_TIMER) ++timer_events;
    if (!shell_dispatch(code)) return -1;
  }
  return timer_events;
}

// Lets `batches` timer ticks draw; false if the drawing stopped early.
bool draw_batches(std::int64_t batches, std::FILE* errors, bool show_progress) {
  std::int64_t drawn = 0;
  int idle_ticks = 0;
  while (drawn < batches) {
    headless_advance_clock(DRAW_TIMER_INTERVAL_MS);
    const int ticks = dispatch_waiting_events();
    if (ticks < 0) return false;
    drawn += ticks;
    idle_ticks = ticks == 0 ? idle_ticks + 1 : 0;
    if (idle_ticks > IDLE_TICKS_LIMIT) return false;
    if (show_progress && ticks > 0) print_progress(errors, drawn, batches);
  }
  return true;
}

// The loaded table drawn by the quality renderer instead of the timer ticks.
int render_quality_picture(const RenderOptions& options, std::FILE* errors) {
  const QualityOutput output{from_utf8(options.output), options.format == FORMAT_PNG,
                             std::string("ifs-render ") + IFS_RENDER_VERSION, options.files.front()};
  switch (quality_render(app_state().table, options.quality, output)) {
    case QUALITY_RENDERED:
      return EXIT_RENDERED;
    case QUALITY_NO_MEMORY:
      std::fputs("ifs-render: not enough memory for a picture of that size\n", errors);
      return EXIT_SAVE_FAILED;
    case QUALITY_NOT_SAVED:
      break;
  }
  std::fprintf(errors, "ifs-render: cannot save the picture to %s\n", options.output.c_str());
  return EXIT_SAVE_FAILED;
}

int render_on_started_runtime(const RenderOptions& options, std::FILE* errors, bool show_progress) {
  const std::size_t messages_before = headless_requesters_shown().size();
  if (!shell_start_with(from_utf8(options.files.front()))) {
    std::fputs("ifs-render: the window to draw in cannot be opened\n", errors);
    return EXIT_SAVE_FAILED;
  }
  if (report_load_messages(messages_before, errors)) return EXIT_LOAD_FAILED;
  if (shell_state().timer_pending != 0) {
    std::fprintf(errors, "ifs-render: %s was not loaded\n", options.files.front().c_str());
    return EXIT_LOAD_FAILED;
  }
  if (options.quality.selected) return render_quality_picture(options, errors);
  if (!draw_batches(options.batches, errors, show_progress)) {
    std::fputs("ifs-render: the drawing stopped before all batches were drawn\n", errors);
    return EXIT_SAVE_FAILED;
  }
  if (!shell_save_picture(from_utf8(options.output), options.format)) {
    std::fprintf(errors, "ifs-render: cannot save the picture to %s\n", options.output.c_str());
    return EXIT_SAVE_FAILED;
  }
  return EXIT_RENDERED;
}

}  // namespace

int command_line_render(const RenderOptions& options, std::FILE* errors, bool show_progress) {
  backend_select(nullptr);
  headless_reset();
  if (!program_begin()) return EXIT_CODE_NO_HEAP;
  const int code = render_on_started_runtime(options, errors, show_progress);
  program_end();
  headless_reset();
  return code;
}

int ifs_render_main(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* errors) {
  const RenderOptions options = render_options_parse(arguments);
  switch (options.mode) {
    case MODE_HELP:
      print_help(out);
      return 0;
    case MODE_VERSION:
      std::fprintf(out, "ifs-render %s\n", IFS_RENDER_VERSION);
      return 0;
    case MODE_USAGE_ERROR:
      std::fprintf(errors, "ifs-render: %s\nTry 'ifs-render --help' for more information.\n",
                   options.error.c_str());
      return EXIT_USAGE;
    case MODE_RENDER: {
      const bool terminal = isatty(fileno(errors)) != 0;
      return command_line_render(options, errors, terminal && options.batches >= PROGRESS_BAR_FROM);
    }
    case MODE_DESKTOP:
      break;
  }
  std::fputs(
      "ifs-render: this build has no desktop display to open a window on.\n"
      "Render to a file instead: ifs-render --output picture.png FILE.ifs [--batches N]\n",
      errors);
  return EXIT_NO_DISPLAY;
}
