// Rendering without a display: the shell's own start-up, loader, timer-driven
// drawing and save pipeline run offscreen (platform/offscreen.h), so the file written
// is the one the desktop program saves after the same number of timer ticks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <optional>

#include "app/loader.h"
#include "cli/render_options.h"
#include "cli/standard_streams.h"

inline constexpr const char* IFS_RENDER_VERSION = "0.1.0";

// Exit codes.
inline constexpr int EXIT_RENDERED = 0;
inline constexpr int EXIT_SAVE_FAILED = 1;
inline constexpr int EXIT_LOAD_FAILED = 2;
inline constexpr int EXIT_USAGE = 64;       // wrong arguments (sysexits' EX_USAGE)
inline constexpr int EXIT_NO_DISPLAY = 69;  // no desktop backend to run on (EX_UNAVAILABLE)
inline constexpr int EXIT_DISPLAY_LOST = 74;  // the display went away under the window (EX_IOERR)

// Batches from which a progress bar is drawn on a terminal.
inline constexpr std::int64_t PROGRESS_BAR_FROM = 100;

// Runs the render described by options (MODE_RENDER: the table loaded,
// written with --write-ifs, drawn and saved with --output) and returns the
// exit code. Messages go to `errors`; the progress bar too when `show_progress`.
// Runs offscreen for the whole run: the virtual clock starts afresh and is forgotten after.
// `in` and `out` stand for standard input and output: they are used when
// FILE, --output or --write-ifs is "-".
int command_line_render(const RenderOptions& options, std::FILE* in, std::FILE* out, std::FILE* errors,
                        bool show_progress);
// The same with the process's standard input and output.
int command_line_render(const RenderOptions& options, std::FILE* errors, bool show_progress);

// The steps of a render that writing every table of a library repeats.
// The load the options' file asks for, a stream taken first into `input`;
// false after saying why it cannot be read.
bool command_line_prepare_load(const RenderOptions& options, std::FILE* in, StreamInput& input, LoadRequest& load,
                               std::FILE* errors);
// The names of the file's tables (none for a seven-number file), or nothing
// after printing why the file cannot be read.
std::optional<std::vector<std::u16string>> command_line_table_names(const LoadRequest& load, std::FILE* errors);
// One picture: the load drawn and saved under options.output as a render with
// --output does it, on a runtime of its own; the exit code.
int command_line_render_request(const RenderOptions& options, const LoadRequest& load, std::FILE* errors);

// Opens the desktop's display and puts the windows there; false when there is none.
using DisplayOpener = bool (*)();

// The program: parses the arguments after the program's name, then renders,
// prints help or version to `out`, runs the desktop program on the display
// `open_display` gives, or reports what is wrong to `errors`. `in` stands for
// standard input.
int ifs_render_main(const std::vector<std::string>& arguments, std::FILE* in, std::FILE* out, std::FILE* errors,
                    DisplayOpener open_display = nullptr);
int ifs_render_main(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* errors);
