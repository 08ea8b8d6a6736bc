#include "cli/offscreen_render.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>
#include <optional>
#include <stdexcept>

#include "app/app_state.h"
#include "app/picture.h"
#include "cli/all_tables.h"
#include "cli/load_reports.h"
#include "cli/points_progress.h"
#include "cli/offscreen_runtime.h"
#include "cli/file_identity.h"
#include "app/loader.h"
#include "poster/poster_render.h"
#include "app/shell.h"
#include "cli/standard_streams.h"
#include "cli/system_names.h"
#include "cli/table_output.h"
#include "cli/terminal_text.h"
#include "cli/thumbnail.h"
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
      "       ifs-render --name NAME [--rotate YAW,PITCH,ROLL] FILE.ifs\n"
      "       ifs-render --output OUT [--format png|bmp] [--batches N] [--name NAME] FILE.ifs\n"
      "       ifs-render --write-ifs OUT.ifs [--name NAME] FILE.ifs\n"
      "       ifs-render --list FILE.ifs\n"
      "       ifs-render --thumbnail SIZE FILE.ifs OUT.png\n"
      "       ifs-render --all OUTDIR [--format png|bmp] FILE.ifs [PICTURE OPTIONS]\n"
      "       ifs-render --output OUT FILE.ifs [PICTURE OPTIONS]\n"
      "\n"
      "Draws the fractal of an iterated function system given as a .ifs file:\n"
      "one affine map per line, seven numbers a b c d e f p separated by single\n"
      "spaces (x' = a*x + b*y + e, y' = c*x + d*y + f, weight p). Files of named\n"
      "tables in the block format (NAME { maps } with ';' comments) are read too;\n"
      "the first table is drawn unless --name picks another. A table NAME (3D) { }\n"
      "holds thirteen numbers a map, m11 m12 m13 m21 m22 m23 m31 m32 m33 o1 o2 o3 p\n"
      "(the 3x3 matrix by rows, the offset, the weight), drawn as its attractor's\n"
      "projection on the x-y plane. In the window Page Down and Page Up go to the\n"
      "next and the previous table of a library.\n"
      "\n"
      "Without --output the desktop program opens its window on the desktop's\n"
      "display. With --output the picture is rendered without a display:\n"
      "FILE.ifs is loaded, N timer ticks of 20001 points each are drawn\n"
      "and the 600 x 600 picture is saved exactly as the desktop program saves it\n"
      "after N ticks. FILE.ifs may be - for standard input.\n"
      "\n"
      "Options:\n"
      "  -o, --output OUT     the picture to write; OUT must end in .png or .bmp,\n"
      "                       or be - for standard output (PNG unless --format bmp)\n"
      "      --format FORMAT  png or bmp\n"
      "  -n, --batches N      timer ticks to draw (default 10)\n"
      "      --name NAME      the table of that name in a file of the block format\n"
      "      --write-ifs OUT  write the table that would be drawn as a seven-number\n"
      "                       .ifs file (- for standard output)\n"
      "      --list           print the names of the file's tables, one a line\n"
      "      --thumbnail SIZE\n"
      "                       draw FILE.ifs into OUT.png as a SIZE x SIZE thumbnail\n"
      "                       for file managers (1 to 1024), density-shaded on black,\n"
      "                       its first table that can be drawn; at most 1 MiB read,\n"
      "                       4096 maps, 4000000 points and 10 seconds\n"
      "      --all OUTDIR     write every table as OUTDIR/NAME.png (.bmp with --format\n"
      "                       bmp), names made safe and distinct, OUTDIR made when\n"
      "                       missing; status 1 unless all were written\n"
      "      --rotate Y,P,R   turn a 3-D table by yaw, pitch and roll degrees (about\n"
      "                       the y, then the x, then the z axis) before projecting\n"
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
      "  --background COLOUR   #RRGGBB of pixels no point reached (default #000000);\n"
      "                        transparent or #RRGGBBAA write an RGBA PNG whose\n"
      "                        reached pixels carry their density as coverage\n"
      "  --shade flat|density  last point's colour, or log-density shading (flat)\n"
      "  --gamma G             density brightness exponent 1/G, 0.1 to 10 (2.2)\n"
      "  --palette C1,C2,...   the maps' colours, #RRGGBB each (the eight pastels)\n"
      "  --supersample K       K x K samples per pixel, 1 to 8 (1)\n"
      "  --threads N           threads to draw on; same picture for any (all cores)\n"
      "  --depth 8|16          bits per channel of a PNG (8)\n"
      "  --view X0,Y0,X1,Y1    draw that rectangle of the plane, undistorted and\n"
      "                        centred, instead of the fitted attractor\n"
      "  --brightness B        flame tone: density alpha scale, above 0 to 100 (1)\n"
      "  --vibrancy V          flame tone: 1 scales the colour by the density, 0\n"
      "                        applies gamma per channel, 0 to 1 (1)\n"
      "  --colormap NAME       flame tone through inferno, magma, viridis, cividis\n"
      "                        or grey instead of the maps' colours\n"
      "Any flame-tone option shades by density, with 200 points per pixel and a 4%\n"
      "margin unless --points (or --batches) and --margin say otherwise.\n"
      "\n"
      "Exit status: 0 done, 1 the picture or table (with --all: one or more) could\n"
      "not be written, 2 the .ifs file could not be loaded, 64 wrong arguments,\n"
      "69 no desktop display, 74 the display went away under the window.\n",
      out);
}

void print_progress(std::FILE* errors, std::int64_t done, std::int64_t total) {
  std::fprintf(errors, "\r[%s] %lld/%lld batches", progress_bar(done, total, PROGRESS_BAR_WIDTH).c_str(),
               static_cast<long long>(done), static_cast<long long>(total));
  if (done == total) std::fputc('\n', errors);
  std::fflush(errors);
}

// A loaded table's fields that were not numbers; the load stands.
void report_load_warnings(const LoadOutcome& outcome, std::FILE* errors) {
  for (const std::string& line : load_warning_lines(outcome)) std::fprintf(errors, "%s\n", line.c_str());
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
int render_poster_picture(const RenderOptions& options, const RenderFiles& files, std::FILE* errors,
                          bool show_progress) {
  // A turn changes only a 3-D table, so a plane table's Comment stays as it was.
  const bool space = app_state().space.active;
  const std::array<double, 3> turn = space ? options.rotation : std::array<double, 3>{};
  const RemakeNames names{options.table_name, path_base_name(options.output), path_base_name(options.files.front()),
                          turn};
  PosterOutput output{name_from_system(files.picture), options.format == FORMAT_PNG,
                      std::string("ifs-render ") + IFS_RENDER_VERSION, names, {}};
  PointsProgress progress(errors, options.poster.points);
  if (show_progress) output.progress = {PointsProgress::report_to, &progress};
  switch (poster_render(app_state().table, app_state().space, options.poster, output)) {
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
  report_load_warnings(loader_last_outcome(), errors);
  if (app_state().space.active && !options.write_ifs.empty()) {
    std::fprintf(errors, "ifs-render: %s is a 3-D table: the seven-number format holds only 2-D tables\n",
                 terminal_text(loader_last_outcome().table_name).c_str());
    return EXIT_SAVE_FAILED;
  }
  if (!options.write_ifs.empty()) {
    const int code = write_table(options.write_ifs, files.out, errors);
    if (code != EXIT_RENDERED || files.picture.empty()) return code;
  }
  if (options.poster.selected) return render_poster_picture(options, files, errors, show_progress);
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
// a closed pipe is a failure the caller must see. errno was cleared before
// the text was written, since a long text fails while it is written, not
// only at the flush.
int finish_output(std::FILE* out, std::FILE* errors) {
  if (std::fflush(out) == 0 && !std::ferror(out)) return 0;
  const int reason = errno != 0 ? errno : EIO;
  std::fprintf(errors, "ifs-render: cannot write the output: %s\n", std::strerror(reason));
  return EXIT_SAVE_FAILED;
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
  load.rotation_degrees = options.rotation;
  if (file != STANDARD_STREAM && !names_a_stream(file)) return true;
  if (!take_stream(file, in, input, errors)) return false;
  load.path = name_from_system(input.path());
  load.shown_name = name_from_system(file);  // messages name it as it was given
  return true;
}

std::optional<std::vector<std::u16string>> table_names(const LoadRequest& load, std::FILE* errors) {
  std::optional<std::vector<std::u16string>> names;
  on_offscreen_runtime([&] {
    names = loader_table_names(load);
    report_load_messages(loader_last_outcome(), errors);
    return names ? EXIT_RENDERED : EXIT_LOAD_FAILED;
  });
  return names;
}

int list_tables(const RenderOptions& options, std::FILE* in, std::FILE* out, std::FILE* errors) {
  StreamInput input;
  LoadRequest load;
  if (!prepare_load(options, in, input, load, errors)) return EXIT_LOAD_FAILED;
  const std::optional<std::vector<std::u16string>> names = table_names(load, errors);
  const int code = names ? EXIT_RENDERED : EXIT_LOAD_FAILED;
  if (names)
    for (const std::u16string& name : *names) std::fprintf(out, "%s\n", terminal_text(name).c_str());
  return code;
}

}  // namespace

bool command_line_prepare_load(const RenderOptions& options, std::FILE* in, StreamInput& input, LoadRequest& load,
                               std::FILE* errors) {
  return prepare_load(options, in, input, load, errors);
}

std::optional<std::vector<std::u16string>> command_line_table_names(const LoadRequest& load, std::FILE* errors) {
  return table_names(load, errors);
}

int command_line_render_request(const RenderOptions& options, const LoadRequest& load, std::FILE* errors) {
  const RenderFiles files{load, options.output, nullptr};
  return on_offscreen_runtime([&] { return render_on_started_runtime(options, files, errors, false); });
}

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

int report_no_display(std::FILE* errors) {
  std::fputs(
      "ifs-render: there is no desktop display to open the window on.\n"
      "Render to a file instead: ifs-render --output picture.png FILE.ifs [--batches N]\n",
      errors);
  return EXIT_NO_DISPLAY;
}

// The desktop program. A table picked by --name, or a file that can be read
// only once (standard input, a FIFO), is loaded as the command line asks;
// anything else goes to the program as its first parameter, as it always did.
int run_desktop(const RenderOptions& options, std::FILE* in, std::FILE* errors, DisplayOpener open_display) {
  const bool turned = options.rotation != std::array<double, 3>{};
  const bool as_asked = !options.table_name.empty() || turned ||
                        (options.files.size() == 1 && (options.files.front() == STANDARD_STREAM ||
                                                       names_a_stream(options.files.front())));
  if (!as_asked) return open_display && open_display() ? shell_run() : report_no_display(errors);
  StreamInput input;
  LoadRequest load;
  if (!prepare_load(options, in, input, load, errors)) return EXIT_LOAD_FAILED;
  if (!open_display || !open_display()) return report_no_display(errors);
  return shell_run_with_request(load);
}

int run_main(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* errors,
             DisplayOpener open_display) {
  const RenderOptions options = render_options_parse(arguments);
  switch (options.mode) {
    case MODE_HELP:
      errno = 0;
      print_help(out);
      return finish_output(out, errors);
    case MODE_VERSION:
      errno = 0;
      std::fprintf(out, "ifs-render %s\n", IFS_RENDER_VERSION);
      return finish_output(out, errors);
    case MODE_USAGE_ERROR:
      return report_usage_error(options.error, errors);
    case MODE_LIST:
      return list_tables(options, in, out, errors);
    case MODE_THUMBNAIL:
      return thumbnail_render(options, errors);
    case MODE_ALL:
      return render_all_tables(options, in, errors);
    case MODE_RENDER: {
      const bool terminal = isatty(fileno(errors)) != 0;
      // A poster render shows its points from as many as that many batches hold.
      const bool long_render = options.poster.selected ? options.poster.points >= PROGRESS_BAR_FROM * BATCH_POINTS
                                                       : options.batches >= PROGRESS_BAR_FROM;
      const bool progress = terminal && !options.output.empty() && long_render;
      return command_line_render(options, in, out, errors, progress);
    }
    case MODE_DESKTOP:
      break;
  }
  return run_desktop(options, in, errors, open_display);
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
