// The command line that makes a poster picture again: the PNG's "Comment".
// Run by a POSIX shell in the table's folder, it writes the same bytes: the
// picture options that differ from their defaults, the table's name within
// its file, the turn of a 3-D table, and the picture and table by their base
// names (a full path may hold private folder names). Threads are left out:
// they change nothing.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "poster/poster_settings.h"

struct RemakeNames {
  std::string table_name;   // --name, empty for the file's first table
  std::string output_name;  // the picture's base name, or "-" for standard output
  std::string source_name;  // the table file's base name, or "-" for standard input
  std::array<double, 3> rotation{};  // --rotate's degrees; all zero leaves it out
};

// The picture options as separate words, "--size" "1920x1080" and so on.
std::vector<std::string> poster_settings_words(const PosterSettings& settings);
// The same words joined by spaces, unquoted, for reading.
std::string poster_settings_text(const PosterSettings& settings);
// The whole command, each word quoted for the shell where it needs to be.
std::string remake_command(const PosterSettings& settings, const RemakeNames& names);
// One word as a POSIX shell reads it back unchanged.
std::string shell_quoted(const std::string& word);
// The last part of a path ("fern.ifs" for "/home/a b/fern.ifs").
std::string path_base_name(const std::string& path);
