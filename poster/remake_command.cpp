#include "poster/remake_command.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "app/colour_table.h"

namespace {

// The form the option readers take back exactly: they accept at most nine
// decimals and no exponent, and every value they read has that many or fewer.
std::string decimal_text(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.9f", value);
  std::string result = text;
  while (result.back() == '0') result.pop_back();
  if (result.back() == '.') result.pop_back();
  return result;
}

// The shortest text that reads back as the same double.
std::string plane_text(double value) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return error == std::errc{} ? std::string(text, end) : decimal_text(value);
}

// An angle as --rotate reads it back to the same double: fixed notation,
// since it takes no exponent, and no longer than the angle it was given.
std::string angle_text(double degrees) {
  char text[512];
  const auto [end, error] = std::to_chars(text, text + sizeof text, degrees, std::chars_format::fixed);
  return error == std::errc{} ? std::string(text, end) : decimal_text(degrees);
}

std::string rotation_text(const std::array<double, 3>& degrees) {
  return angle_text(degrees[0]) + "," + angle_text(degrees[1]) + "," + angle_text(degrees[2]);
}

std::string background_text(const PosterSettings& settings) {
  if (settings.background_alpha == 0 && settings.background == 0) return "transparent";
  std::string text = colour_text(settings.background);
  if (poster_transparent(settings)) {
    char alpha[4];
    std::snprintf(alpha, sizeof alpha, "%02X", settings.background_alpha & 0xFF);
    text += alpha;
  }
  return text;
}

bool eight_point_colours(const std::vector<std::uint32_t>& palette) {
  return palette.size() == std::size(INITIAL_COLOURS.colours) &&
         std::equal(palette.begin(), palette.end(), std::begin(INITIAL_COLOURS.colours));
}

std::string palette_text(const std::vector<std::uint32_t>& palette) {
  std::string text;
  for (std::size_t i = 0; i < palette.size(); ++i) text += (i > 0 ? "," : "") + colour_text(palette[i]);
  return text;
}

std::string view_text(const PlaneView& view) {
  return plane_text(view.min_x) + "," + plane_text(view.min_y) + "," + plane_text(view.max_x) + "," +
         plane_text(view.max_y);
}

void add(std::vector<std::string>& words, const char* option, const std::string& value) {
  words.emplace_back(option);
  words.push_back(value);
}

// The flame tone is chosen by giving one of its options, so one always
// stays even when every value is the default.
void add_flame_tone(const PosterSettings& settings, std::vector<std::string>& words) {
  const bool shown_otherwise = settings.colormap != COLOUR_MAP_NONE || settings.vibrancy != POSTER_DEFAULT_VIBRANCY;
  if (settings.brightness != POSTER_DEFAULT_BRIGHTNESS || !shown_otherwise)
    add(words, "--brightness", decimal_text(settings.brightness));
  if (settings.vibrancy != POSTER_DEFAULT_VIBRANCY) add(words, "--vibrancy", decimal_text(settings.vibrancy));
  if (settings.colormap != COLOUR_MAP_NONE) add(words, "--colormap", colour_map_word(settings.colormap));
}

bool plain_shell_character(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || std::strchr("_@%+=:,./-", c);
}

}  // namespace

std::vector<std::string> poster_settings_words(const PosterSettings& settings) {
  const bool flame = poster_flame_tone(settings);
  std::vector<std::string> words;
  if (settings.width != POSTER_DEFAULT_SIDE || settings.height != POSTER_DEFAULT_SIDE)
    add(words, "--size", std::to_string(settings.width) + "x" + std::to_string(settings.height));
  if (settings.margin_percent != (flame ? POSTER_TONE_MARGIN : 0.0))
    add(words, "--margin", decimal_text(settings.margin_percent));
  // Always: the default count depends on the other options, and --points
  // alone is enough to choose this renderer.
  add(words, "--points", std::to_string(settings.points));
  if (settings.seed != POSTER_DEFAULT_SEED) add(words, "--seed", std::to_string(settings.seed));
  if (settings.background != 0 || poster_transparent(settings)) add(words, "--background", background_text(settings));
  if (settings.shade == SHADE_DENSITY && !flame) add(words, "--shade", "density");
  if (settings.shade == SHADE_DENSITY && settings.gamma != POSTER_DEFAULT_GAMMA)
    add(words, "--gamma", decimal_text(settings.gamma));
  if (settings.colormap == COLOUR_MAP_NONE && !eight_point_colours(settings.palette))
    add(words, "--palette", palette_text(settings.palette));
  if (settings.supersample != 1) add(words, "--supersample", std::to_string(settings.supersample));
  if (settings.depth != 8) add(words, "--depth", std::to_string(settings.depth));
  if (settings.has_view) add(words, "--view", view_text(settings.view));
  if (flame) add_flame_tone(settings, words);
  return words;
}

std::string poster_settings_text(const PosterSettings& settings) {
  std::string text;
  for (const std::string& word : poster_settings_words(settings)) text += (text.empty() ? "" : " ") + word;
  return text;
}

std::string shell_quoted(const std::string& word) {
  bool plain = !word.empty();
  for (const char c : word) plain = plain && plain_shell_character(c);
  if (plain) return word;
  std::string quoted = "'";
  for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string path_base_name(const std::string& path) {
  // A backslash is part of a file's name where it is not a separator.
#ifdef _WIN32
  const std::size_t slash = path.find_last_of("/\\");
#else
  const std::size_t slash = path.find_last_of('/');
#endif
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string remake_command(const PosterSettings& settings, const RemakeNames& names) {
  std::vector<std::string> words{"ifs-render"};
  const std::vector<std::string> options = poster_settings_words(settings);
  words.insert(words.end(), options.begin(), options.end());
  if (names.rotation != std::array<double, 3>{}) add(words, "--rotate", rotation_text(names.rotation));
  if (!names.table_name.empty()) add(words, "--name", names.table_name);
  if (names.output_name == "-") add(words, "--format", "png");
  add(words, "-o", names.output_name);
  // A table whose name starts with a dash would read as an option.
  if (names.source_name.starts_with("-") && names.source_name != "-") words.emplace_back("--");
  words.push_back(names.source_name);
  std::string command;
  for (const std::string& word : words) command += (command.empty() ? "" : " ") + shell_quoted(word);
  return command;
}
