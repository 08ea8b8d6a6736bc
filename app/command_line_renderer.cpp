#include "app/command_line_renderer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "app/app_state.h"
#include "app/command_line_messages.h"
#include "app/ifs_table_text.h"
#include "app/loader.h"
#include "app/quality/quality_render.h"
#include "app/shell.h"
#include "app/standard_streams.h"
#include "app/system_names.h"
#include "app/terminal_text.h"
#include "platform/backend/headless/headless.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/startup.h"
#include "runtime/core/system_reason.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"

namespace {

constexpr int PROGRESS_BAR_WIDTH = 40;
// Ticks the clock may be moved on without a timer firing before the render
// gives up: the timer fires on every one, so a few are already plenty.
constexpr int IDLE_TICKS_LIMIT = 4;

// An argument as the terminal may show it.
std::string shown_argument(const std::string& argument) { return terminal_text(name_from_system(argument)); }

void print_help(std::FILE* out) {
  std::fputs(
      "Usage: ifs-render [FILE.ifs]\n"
      "       ifs-render --output OUT [--format png|bmp] [--batches N] [--name NAME] FILE.ifs\n"
      "       ifs-render --write-ifs OUT.ifs [--name NAME] FILE.ifs\n"
      "       ifs-render --list FILE.ifs\n"
      "       ifs-render --output OUT FILE.ifs [PICTURE OPTIONS]\n"
      "\n"
      "Draws the fractal of an iterated function system given as a .ifs file:\n"
      "one affine map per line, seven numbers a b c d e f p separated by single\n"
      "spaces (x' = a*x + b*y + e, y' = c*x + d*y + f, weight p). Files of named\n"
      "tables in the block format (NAME { maps } with ';' comments) are read too;\n"
      "the first table is drawn unless --name picks another.\n"
      "\n"
      "Without --output the desktop program opens its window on the desktop's\n"
      "display. With --output the picture is rendered without a display:\n"
      "FILE.ifs is loaded, N timer ticks of 20001 points each are drawn\n"
      "and the 600 x 600 picture is saved exactly as the desktop program saves it\n"
      "after N ticks. FILE.ifs may be - for standard input.\n"
      "\n"
      "Options:\n"
      "  -o, --output OUT     the picture to write; OUT must end in .png or .bmp,\n"
      "                       or be - for standard output (then --format is needed)\n"
      "      --format FORMAT  png or bmp\n"
      "  -n, --batches N      timer ticks to draw (default 10)\n"
      "      --name NAME      the table of that name in a file of the block format\n"
      "      --write-ifs OUT  write the table that would be drawn as a seven-number\n"
      "                       .ifs file (- for standard output)\n"
      "      --list           print the names of the file's tables, one a line\n"
      "  -h, --help           this text\n"
      "  -V, --version        the program's version\n"
      "Each option may be given once.\n"
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
      "Exit status: 0 done, 1 the picture or table could not be written, 2 the .ifs\n"
      "file could not be loaded, 64 wrong arguments, 69 no desktop display, 74 the\n"
      "display went away under the window.\n",
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

// The loader's message boxes as the headless display recorded them, then
// the load's detail line; true when it showed any since `first`.
bool report_load_messages(std::size_t first, std::FILE* errors) {
  const std::vector<HeadlessRequesterRecord>& shown = headless_requesters_shown();
  bool reported = false;
  for (std::size_t index = first; index < shown.size(); ++index) {
    if (shown[index].kind != HEADLESS_MESSAGE_BOX) continue;
    std::fprintf(errors, "%s\n", message_box_line(shown[index].title, shown[index].text).c_str());
    reported = true;
  }
  const std::string detail = load_detail_line(loader_last_outcome());
  if (reported && !detail.empty()) std::fprintf(errors, "%s\n", detail.c_str());
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

// The table that would be drawn, in the seven-number format.
int write_table(const std::string& destination, std::FILE* out, std::FILE* errors) {
  const std::string text = ifs_table_text(app_state().table);
  const bool to_out = destination == STANDARD_STREAM;
  std::FILE* file = to_out ? out : name_open(destination, "wb");
  bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0;
  const int reason = errno;
  if (file && !to_out && std::fclose(file) != 0) written = false;
  if (written) return EXIT_RENDERED;
  std::fprintf(errors, "ifs-render: cannot write the table to %s: %s\n",
               to_out ? "standard output" : destination.c_str(), std::strerror(reason));
  return EXIT_SAVE_FAILED;
}

// Where a render reads and writes.
struct RenderFiles {
  LoadRequest load;
  std::string picture;  // the path the picture is saved under; empty: no picture
  std::FILE* out;       // standard output
};

// One line naming the picture and the reason the system gave.
void report_save_failure(const RenderOptions& options, std::FILE* errors) {
  const bool to_out = options.output == STANDARD_STREAM;
  const std::string reason = terminal_text(system_reason_for_last_error());
  std::fprintf(errors, "ifs-render: cannot save the picture to %s: %s\n",
               to_out ? "standard output" : shown_argument(options.output).c_str(), reason.c_str());
}

// The loaded table drawn by the quality renderer instead of the timer ticks.
int render_quality_picture(const RenderOptions& options, const RenderFiles& files, std::FILE* errors) {
  const QualityOutput output{name_from_system(files.picture), options.format == FORMAT_PNG,
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
  report_save_failure(options, errors);
  return EXIT_SAVE_FAILED;
}

int render_on_started_runtime(const RenderOptions& options, const RenderFiles& files, std::FILE* errors,
                              bool show_progress) {
  const std::size_t messages_before = headless_requesters_shown().size();
  if (!shell_start_with_request(files.load)) {
    std::fputs("ifs-render: the window to draw in cannot be opened\n", errors);
    return EXIT_SAVE_FAILED;
  }
  if (report_load_messages(messages_before, errors)) return EXIT_LOAD_FAILED;
  if (!loader_last_outcome().loaded) {
    std::fprintf(errors, "ifs-render: %s was not loaded\n", shown_argument(options.files.front()).c_str());
    return EXIT_LOAD_FAILED;
  }
  if (!options.write_ifs.empty()) {
    const int code = write_table(options.write_ifs, files.out, errors);
    if (code != EXIT_RENDERED || files.picture.empty()) return code;
  }
  if (options.quality.selected) return render_quality_picture(options, files, errors);
  if (!draw_batches(options.batches, errors, show_progress)) {
    std::fputs("ifs-render: the drawing stopped before all batches were drawn\n", errors);
    return EXIT_SAVE_FAILED;
  }
  if (!shell_save_picture(name_from_system(files.picture), options.format)) {
    report_save_failure(options, errors);
    return EXIT_SAVE_FAILED;
  }
  return EXIT_RENDERED;
}

// Help and version succeed only if they reached their reader: a full disk or
// a closed pipe is a failure the caller must see.
int finish_output(std::FILE* out, std::FILE* errors) {
  errno = 0;
  if (std::fflush(out) == 0 && !std::ferror(out)) return 0;
  const int reason = errno != 0 ? errno : EIO;
  std::fprintf(errors, "ifs-render: cannot write the output: %s\n", std::strerror(reason));
  return EXIT_SAVE_FAILED;
}

// Runs `work` between the runtime's start-up and shut-down on a fresh
// headless display.
template <typename Work>
int on_headless_runtime(Work work) {
  backend_select(nullptr);
  headless_reset();
  // Nobody looks at this screen: what the program draws reaches the file
  // through the canvas, not through the display.
  headless_keep_presented_pixels(FALSE);
  if (!program_begin()) return EXIT_CODE_NO_HEAP;
  const int code = work();
  program_end();
  headless_reset();
  return code;
}

// The load the options ask for; standard input is copied first when it is
// the file. False after saying why standard input cannot be read.
bool prepare_load(const RenderOptions& options, std::FILE* in, StandardInputCopy& input, LoadRequest& load,
                  std::FILE* errors) {
  load = LoadRequest{name_from_system(options.files.front()), {}, utf16_from(options.table_name)};
  if (options.files.front() != STANDARD_STREAM) return true;
  errno = 0;
  if (!input.copy_from(in)) {
    std::fprintf(errors, "ifs-render: cannot read standard input: %s\n", std::strerror(errno));
    return false;
  }
  load.path = name_from_system(input.path());
  load.shown_name = utf16_from(STANDARD_STREAM);  // messages name it as it was given
  return true;
}

int list_tables(const RenderOptions& options, std::FILE* in, std::FILE* out, std::FILE* errors) {
  StandardInputCopy input;
  LoadRequest load;
  if (!prepare_load(options, in, input, load, errors)) return EXIT_LOAD_FAILED;
  std::optional<std::vector<std::u16string>> names;
  const int code = on_headless_runtime([&] {
    names = loader_table_names(load);
    report_load_messages(0, errors);
    return names ? EXIT_RENDERED : EXIT_LOAD_FAILED;
  });
  if (names)
    for (const std::u16string& name : *names) std::fprintf(out, "%s\n", utf8_from(name).c_str());
  return code;
}

}  // namespace

int command_line_render(const RenderOptions& options, std::FILE* in, std::FILE* out, std::FILE* errors,
                        bool show_progress) {
  StandardInputCopy input;
  RenderFiles files{{}, options.output, out};
  if (!prepare_load(options, in, input, files.load, errors)) return EXIT_LOAD_FAILED;
  std::optional<PrivateFolder> folder;
  if (options.output == STANDARD_STREAM && isatty(fileno(out))) {
    std::fputs("ifs-render: standard output is a terminal; send the picture to a file or a pipe\n", errors);
    return EXIT_USAGE;
  }
  if (options.output == STANDARD_STREAM) {
    folder.emplace();
    if (!folder->made()) {
      std::fprintf(errors, "ifs-render: cannot make a folder for the picture: %s\n", std::strerror(errno));
      return EXIT_SAVE_FAILED;
    }
    files.picture = folder->file(options.format == FORMAT_BMP ? "picture.bmp" : "picture.png");
  }
  int code = on_headless_runtime([&] { return render_on_started_runtime(options, files, errors, show_progress); });
  if (code == EXIT_RENDERED && folder && !copy_file_to(files.picture, out)) {
    std::fprintf(errors, "ifs-render: cannot write the picture to standard output: %s\n", std::strerror(errno));
    code = EXIT_SAVE_FAILED;
  }
  return code;
}

int command_line_render(const RenderOptions& options, std::FILE* errors, bool show_progress) {
  return command_line_render(options, stdin, stdout, errors, show_progress);
}

int ifs_render_main(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* errors,
                    DisplayOpener open_display) {
  const RenderOptions options = render_options_parse(arguments);
  switch (options.mode) {
    case MODE_HELP:
      print_help(out);
      return finish_output(out, errors);
    case MODE_VERSION:
      std::fprintf(out, "ifs-render %s\n", IFS_RENDER_VERSION);
      return finish_output(out, errors);
    case MODE_USAGE_ERROR:
      std::fprintf(errors, "ifs-render: %s\nTry 'ifs-render --help' for more information.\n",
                   terminal_text(name_from_system(options.error)).c_str());
      return EXIT_USAGE;
    case MODE_LIST:
      return list_tables(options, in, out, errors);
    case MODE_RENDER: {
      const bool terminal = isatty(fileno(errors)) != 0;
      const bool progress = terminal && !options.output.empty() && options.batches >= PROGRESS_BAR_FROM;
      return command_line_render(options, in, out, errors, progress);
    }
    case MODE_DESKTOP:
      if (const DisplayBackend* display = open_display ? open_display() : nullptr) {
        backend_select(display);
        return shell_run();
      }
      break;
  }
  std::fputs(
      "ifs-render: there is no desktop display to open the window on.\n"
      "Render to a file instead: ifs-render --output picture.png FILE.ifs [--batches N]\n",
      errors);
  return EXIT_NO_DISPLAY;
}

int ifs_render_main(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* errors) {
  return ifs_render_main(arguments, stdin, out, errors);
}
