// The program's own command-line options: `ifs-render [FILE.ifs]` runs the
// desktop program; `ifs-render --output OUT FILE.ifs [--batches N]` renders
// without a display; `--write-ifs` writes the table read, `--list` names the
// tables of a file in the block format, `--thumbnail SIZE FILE.ifs OUT.png`
// draws a file manager's thumbnail. Options may come in any order, each at
// most once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "poster/poster_settings.h"

inline constexpr std::int64_t DEFAULT_BATCHES = 10;
// About 17 hours of the desktop program's drawing; enough for any picture.
inline constexpr std::int64_t MAX_BATCHES = 40000000;
// As FILE, --output or --write-ifs: standard input or output.
inline constexpr const char* STANDARD_STREAM = "-";

enum RenderMode { MODE_DESKTOP, MODE_RENDER, MODE_LIST, MODE_THUMBNAIL, MODE_ALL, MODE_HELP, MODE_VERSION, MODE_USAGE_ERROR };

// A file manager's thumbnail (`--thumbnail SIZE FILE.ifs OUT.png`) is at most
// this many pixels a side.
inline constexpr int THUMBNAIL_MAX_SIZE = 1024;

struct RenderOptions {
  RenderMode mode = MODE_DESKTOP;
  std::string output;            // MODE_RENDER: the picture to write; empty when only --write-ifs is given
  std::uint32_t format = 0;      // FORMAT_PNG or FORMAT_BMP, from --format or the output's extension
  std::vector<std::string> files;  // the .ifs file (at most one)
  std::int64_t batches = DEFAULT_BATCHES;
  std::string table_name;        // --name: the block to load; empty for the first
  std::string write_ifs;         // --write-ifs: where the table goes in the seven-number format
  int thumbnail_size = 0;        // MODE_THUMBNAIL: the picture's side; files[0] is drawn into output
  std::string all_folder;        // MODE_ALL: the folder every table's picture goes to
  // --rotate: yaw, pitch and roll in degrees, turning a 3-D table before it is projected.
  std::array<double, 3> rotation{};
  PosterSettings poster;       // the picture options beyond the desktop program's
  std::string error;             // MODE_USAGE_ERROR: what is wrong
};

// Reads the arguments after the program's name.
RenderOptions render_options_parse(const std::vector<std::string>& arguments);
// The format id for an output name by its extension (any case): FORMAT_PNG
// for ".png", FORMAT_BMP for ".bmp", 0 for anything else.
std::uint32_t render_format_for(const std::string& output);
