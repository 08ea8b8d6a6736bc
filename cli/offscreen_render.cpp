#include "cli/offscreen_render.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>

#include "app/app_state.h"
#include "cli/load_reports.h"
#include "cli/file_identity.h"
#include "app/loader.h"
#include "poster/poster_render.h"
#include "app/shell.h"
#include "cli/standard_streams.h"
#include "cli/system_names.h"
#include "cli/table_output.h"
#include "cli/terminal_text.h"
#include "platform/offscreen.h"
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

// The message boxes the load showed, then its detail line; true when it
// showed any.
bool report_load_messages(const LoadOutcome& outcome, std::FILE* errors) {
  for (const LoadMessage& message : outcome.messages)
    std::fprintf(errors, "%s\n", message_box_line(message.caption, message.text).c_str());
  if (outcome.messages.empty()) return false;
  const std::string detail = load_detail_line(outcome);
  if (!detail.empty()) std::fprintf(errors, "%s\n", detail.c_str());
  return true;
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
    offscreen_advance(DRAW_TIMER_INTERVAL_MS);
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
  const IfsTable& table = app_state().table;
  if (destination == STANDARD_STREAM) {
    if (table_output_to_stream(table, out)) return EXIT_RENDERED;
    std::fprintf(errors, "ifs-render: cannot write the table to standard output: %s\n", std::strerror(errno));
    return EXIT_SAVE_FAILED;
  }
  if (table_output_to_file(table, name_from_system(destination))) return EXIT_RENDERED;
  const std::string reason = terminal_text(system_reason_for_last_error());
  std::fprintf(errors, "ifs-render: cannot write the table to %s: %s\n", shown_argument(destination).c_str(),
               reason.c_str());
  return EXIT_SAVE_FAILED;
}

int report_usage_error(const std::string& error, std::FILE* errors) {
  std::fprintf(errors, "ifs-render: %s\nTry 'ifs-render --help' for more information.\n",
               terminal_text(name_from_system(error)).c_str());
  return EXIT_USAGE;
}

// What is wrong with writing where the options say: an output over the file
// being read (by identity: a link or another spelling of its name counts), or
// the picture and the table over each other. Empty when nothing is.
std::string outputs_overwriting(const RenderOptions& options, std::FILE* in) {
  const std::string& file = options.files.front();
  const FileIdentity input = file == STANDARD_STREAM ? file_identity_of_stream(in) : file_identity_of_name(file);
  const bool picture = !options.output.empty() && options.output != STANDARD_STREAM;
  const bool table = !options.write_ifs.empty() && options.write_ifs != STANDARD_STREAM;
  const FileIdentity picture_file = picture ? file_identity_of_name(options.output) : FileIdentity{};
  const FileIdentity table_file = table ? file_identity_of_name(options.write_ifs) : FileIdentity{};
  if (same_file(picture_file, input)) return "the output " + options.output + " is the .ifs file being read";
  if (same_file(table_file, input)) return "--write-ifs " + options.write_ifs + " is the .ifs file being read";
  if (picture && table && (options.output == options.write_ifs || same_file(picture_file, table_file)))
    return "--output and --write-ifs name the same file";
  return {};
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

// The loaded table drawn by the poster renderer instead of the timer ticks.
int render_poster_picture(const RenderOptions& options, const RenderFiles& files, std::FILE* errors) {
  const PosterOutput output{name_from_system(files.picture), options.format == FORMAT_PNG,
                             std::string("ifs-render ") + IFS_RENDER_VERSION, options.files.front()};
  switch (poster_render(app_state().table, options.poster, output)) {
    case POSTER_RENDERED:
      return EXIT_RENDERED;
    case POSTER_NO_MEMORY:
      std::fputs("ifs-render: not enough memory for a picture of that size\n", errors);
      return EXIT_SAVE_FAILED;
    case POSTER_NOT_SAVED:
      break;
  }
  report_save_failure(options, errors);
  return EXIT_SAVE_FAILED;
}

int render_on_started_runtime(const RenderOptions& options, const RenderFiles& files, std::FILE* errors,
                              bool show_progress) {
  if (!shell_start_with_request(files.load)) {
    std::fputs("ifs-render: the window to draw in cannot be opened\n", errors);
    return EXIT_SAVE_FAILED;
  }
  if (report_load_messages(loader_last_outcome(), errors)) return EXIT_LOAD_FAILED;
  if (!loader_last_outcome().loaded) {
    std::fprintf(errors, "ifs-render: %s was not loaded\n", shown_argument(options.files.front()).c_str());
    return EXIT_LOAD_FAILED;
  }
  if (!options.write_ifs.empty()) {
    const int code = write_table(options.write_ifs, files.out, errors);
    if (code != EXIT_RENDERED || files.picture.empty()) return code;
  }
  if (options.poster.selected) return render_poster_picture(options, files, errors);
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

// Runs `work` between the runtime's start-up and shut-down, offscreen.
template <typename Work>
int on_offscreen_runtime(Work work) {
  offscreen_begin();
  if (!program_begin()) return EXIT_CODE_NO_HEAP;
  // Shut down on the way out of a failed allocation too, so that the caller
  // finds the runtime as it was before.
  struct RuntimeEnd {
    ~RuntimeEnd() {
      program_end();
      offscreen_end();
    }
  } end;
  return work();
}

// A stream given as the .ifs file, made readable by name for the loader;
// false after saying why it cannot be.
bool take_stream(const std::string& file, std::FILE* in, StreamInput& input, std::FILE* errors) {
  const bool standard = file == STANDARD_STREAM;
  const std::string shown = standard ? "standard input" : shown_argument(file);
  const bool opened = !standard && !names_stream(file, in);
  errno = 0;
  std::FILE* stream = opened ? name_open(file, "rb") : in;
  const bool taken = stream && input.take(stream);
  const int reason = errno != 0 ? errno : EIO;
  if (stream && opened) std::fclose(stream);
  if (taken) return true;
  if (input.too_long())
    std::fprintf(errors, "ifs-render: cannot read %s: it holds more than %llu MiB, the most a stream may bring\n",
                 shown.c_str(), static_cast<unsigned long long>(STREAM_INPUT_LIMIT >> 20));
  else
    std::fprintf(errors, "ifs-render: cannot read %s: %s\n", shown.c_str(), std::strerror(reason));
  return false;
}

// The load the options ask for: a stream (standard input, a FIFO, a device)
// is taken first. False after saying why it cannot be read.
bool prepare_load(const RenderOptions& options, std::FILE* in, StreamInput& input, LoadRequest& load,
                  std::FILE* errors) {
  const std::string& file = options.files.front();
  // A table's name arrives in the code page of the other arguments, the one
  // the loader reads the file's names in: bytes that are not UTF-8 stay bytes.
  load = LoadRequest{name_from_system(file), {}, name_from_system(options.table_name)};
  if (file != STANDARD_STREAM && !names_a_stream(file)) return true;
  if (!take_stream(file, in, input, errors)) return false;
  load.path = name_from_system(input.path());
  load.shown_name = name_from_system(file);  // messages name it as it was given
  return true;
}

int list_tables(const RenderOptions& options, std::FILE* in, std::FILE* out, std::FILE* errors) {
  StreamInput input;
  LoadRequest load;
  if (!prepare_load(options, in, input, load, errors)) return EXIT_LOAD_FAILED;
  std::optional<std::vector<std::u16string>> names;
  const int code = on_offscreen_runtime([&] {
    names = loader_table_names(load);
    report_load_messages(loader_last_outcome(), errors);
    return names ? EXIT_RENDERED : EXIT_LOAD_FAILED;
  });
  if (names)
    for (const std::u16string& name : *names) std::fprintf(out, "%s\n", terminal_text(name).c_str());
  return code;
}

}  // namespace

int command_line_render(const RenderOptions& options, std::FILE* in, std::FILE* out, std::FILE* errors,
                        bool show_progress) {
  if (const std::string wrong = outputs_overwriting(options, in); !wrong.empty())
    return report_usage_error(wrong, errors);
  StreamInput input;
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
  int code = on_offscreen_runtime([&] { return render_on_started_runtime(options, files, errors, show_progress); });
  if (code == EXIT_RENDERED && folder && !copy_file_to(files.picture, out)) {
    std::fprintf(errors, "ifs-render: cannot write the picture to standard output: %s\n", std::strerror(errno));
    code = EXIT_SAVE_FAILED;
  }
  return code;
}

int command_line_render(const RenderOptions& options, std::FILE* errors, bool show_progress) {
  return command_line_render(options, stdin, stdout, errors, show_progress);
}

namespace {

int run_main(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* errors,
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
      return report_usage_error(options.error, errors);
    case MODE_LIST:
      return list_tables(options, in, out, errors);
    case MODE_RENDER: {
      const bool terminal = isatty(fileno(errors)) != 0;
      const bool progress = terminal && !options.output.empty() && options.batches >= PROGRESS_BAR_FROM;
      return command_line_render(options, in, out, errors, progress);
    }
    case MODE_DESKTOP:
      if (open_display && open_display()) return shell_run();
      break;
  }
  std::fputs(
      "ifs-render: there is no desktop display to open the window on.\n"
      "Render to a file instead: ifs-render --output picture.png FILE.ifs [--batches N]\n",
      errors);
  return EXIT_NO_DISPLAY;
}

int report_no_memory(std::FILE* errors) {
  std::fputs("ifs-render: not enough memory\n", errors);
  return EXIT_SAVE_FAILED;
}

}  // namespace

// Allocations fail as results everywhere below, except in the C++ library's
// own containers: whatever one of them could not get ends here, as a message.
int ifs_render_main(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* errors,
                    DisplayOpener open_display) {
  try {
    return run_main(arguments, in, out, errors, open_display);
  } catch (const std::bad_alloc&) {
    return report_no_memory(errors);
  } catch (const std::length_error&) {
    return report_no_memory(errors);
  }
}

int ifs_render_main(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* errors) {
  return ifs_render_main(arguments, stdin, out, errors);
}
