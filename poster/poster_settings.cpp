#include "poster/poster_settings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/colour_table.h"

std::int64_t option_whole_number(const std::string& text, std::int64_t limit) {
  if (text.empty() || text.size() > 13) return -1;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return value <= limit ? value : -1;
}

namespace {

// Reads one option's value into the settings; an error text, or empty.
using ValueReader = std::string (*)(const std::string& value, PosterSettings& settings);


// Digits with an optional fraction ("2", "2.2", "0.5"); -1 otherwise.
double decimal_number(const std::string& text) {
  const std::size_t point = text.find('.');
  const std::string whole = text.substr(0, point);
  const std::string fraction = point == std::string::npos ? "0" : text.substr(point + 1);
  if (option_whole_number(whole, 999999) < 0 || option_whole_number(fraction, INT64_MAX) < 0 || fraction.size() > 9) return -1.0;
  return std::strtod(text.c_str(), nullptr);
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "#RRGGBB" or "RRGGBB" as 0xBBGGRR; false otherwise.
bool parse_colour(const std::string& text, std::uint32_t& bgr) {
  const std::string digits = text.starts_with("#") ? text.substr(1) : text;
  if (digits.size() != 6) return false;
  std::uint32_t components[3];
  for (int c = 0; c < 3; ++c) {
    const int high = hex_digit(digits[2 * c]);
    const int low = hex_digit(digits[2 * c + 1]);
    if (high < 0 || low < 0) return false;
    components[c] = static_cast<std::uint32_t>(high * 16 + low);
  }
  bgr = colour_from_components(components[0], components[1], components[2]);
  return true;
}

std::string read_size(const std::string& value, PosterSettings& settings) {
  const std::size_t cross = value.find('x');
  const std::int64_t width = cross == std::string::npos ? -1 : option_whole_number(value.substr(0, cross), POSTER_MAX_SIDE);
  const std::int64_t height = cross == std::string::npos ? -1 : option_whole_number(value.substr(cross + 1), POSTER_MAX_SIDE);
  if (width < 1 || height < 1)
    return "--size takes WIDTHxHEIGHT, each from 1 to " + std::to_string(POSTER_MAX_SIDE) + ", not \"" + value + "\"";
  settings.width = static_cast<int>(width);
  settings.height = static_cast<int>(height);
  return {};
}

std::string read_margin(const std::string& value, PosterSettings& settings) {
  const double margin = decimal_number(value);
  if (!(margin >= 0.0 && margin <= POSTER_MAX_MARGIN))
    return "--margin takes a percentage from 0 to 49, not \"" + value + "\"";
  settings.margin_percent = margin;
  return {};
}

std::string read_points(const std::string& value, PosterSettings& settings) {
  settings.points = option_whole_number(value, POSTER_MAX_POINTS);
  if (settings.points < 0) return "--points takes a whole number from 0 to 1000000000000, not \"" + value + "\"";
  return {};
}

std::string read_seed(const std::string& value, PosterSettings& settings) {
  const std::int64_t seed = option_whole_number(value, UINT32_MAX);
  if (seed < 0) return "--seed takes a whole number from 0 to 4294967295, not \"" + value + "\"";
  settings.seed = static_cast<std::uint32_t>(seed);
  return {};
}

std::string read_background(const std::string& value, PosterSettings& settings) {
  if (!parse_colour(value, settings.background)) return "--background takes a colour #RRGGBB, not \"" + value + "\"";
  return {};
}

std::string read_shade(const std::string& value, PosterSettings& settings) {
  if (value == "flat") {
    settings.shade = SHADE_FLAT;
  } else if (value == "density") {
    settings.shade = SHADE_DENSITY;
  } else {
    return "--shade takes flat or density, not \"" + value + "\"";
  }
  return {};
}

std::string read_gamma(const std::string& value, PosterSettings& settings) {
  const double gamma = decimal_number(value);
  if (!(gamma >= POSTER_MIN_GAMMA && gamma <= POSTER_MAX_GAMMA))
    return "--gamma takes a number from 0.1 to 10, not \"" + value + "\"";
  settings.gamma = gamma;
  return {};
}

std::string read_palette(const std::string& value, PosterSettings& settings) {
  settings.palette.clear();
  std::size_t begin = 0;
  while (true) {
    const std::size_t comma = value.find(',', begin);
    std::uint32_t colour = 0;
    if (!parse_colour(value.substr(begin, comma - begin), colour) || settings.palette.size() >= POSTER_MAX_PALETTE)
      return "--palette takes 1 to 256 colours #RRGGBB separated by commas, not \"" + value + "\"";
    settings.palette.push_back(colour);
    if (comma == std::string::npos) return {};
    begin = comma + 1;
  }
}

std::string read_supersample(const std::string& value, PosterSettings& settings) {
  const std::int64_t k = option_whole_number(value, POSTER_MAX_SUPERSAMPLE);
  if (k < 1) return "--supersample takes a whole number from 1 to 8, not \"" + value + "\"";
  settings.supersample = static_cast<int>(k);
  return {};
}

std::string read_threads(const std::string& value, PosterSettings& settings) {
  const std::int64_t threads = option_whole_number(value, POSTER_MAX_THREADS);
  if (threads < 1) return "--threads takes a whole number from 1 to 1024, not \"" + value + "\"";
  settings.threads = static_cast<int>(threads);
  return {};
}

std::string read_depth(const std::string& value, PosterSettings& settings) {
  if (value != "8" && value != "16") return "--depth takes 8 or 16, not \"" + value + "\"";
  settings.depth = value == "8" ? 8 : 16;
  return {};
}

// In the order of PosterOption.
constexpr ValueReader READERS[] = {
    read_size, read_margin,  read_points,      read_seed,    read_background, read_shade,
    read_gamma, read_palette, read_supersample, read_threads, read_depth,
};

constexpr std::uint32_t given_bit(PosterOption option) { return 1u << option; }

bool default_palette(const std::vector<std::uint32_t>& palette) {
  return palette.empty() || std::equal(palette.begin(), palette.end(), std::begin(INITIAL_COLOURS.colours),
                                       std::end(INITIAL_COLOURS.colours));
}

// Options set to anything but the desktop program's own picture, so that only
// the poster renderer can draw it. --points always does: the desktop program
// counts in batches.
bool picture_changed(const PosterSettings& settings) {
  return settings.shade != SHADE_FLAT || settings.width != POSTER_DEFAULT_SIDE ||
         settings.height != POSTER_DEFAULT_SIDE || settings.margin_percent != 0.0 ||
         (settings.given & given_bit(POSTER_POINTS)) != 0 || settings.seed != POSTER_DEFAULT_SEED || settings.background != 0 ||
         !default_palette(settings.palette) || settings.supersample != 1 || settings.depth != 8;
}

std::int64_t default_points(const PosterSettings& settings) {
  const std::int64_t by_size = POSTER_POINTS_PER_PIXEL * settings.width * settings.height;
  return by_size > POSTER_MIN_DEFAULT_POINTS ? by_size : POSTER_MIN_DEFAULT_POINTS;
}

std::string check_combinations(const PosterSettings& settings, bool batches_given, bool output_is_png) {
  if ((settings.given & given_bit(POSTER_GAMMA)) != 0 && settings.shade != SHADE_DENSITY)
    return "--gamma only applies with --shade density";
  if (settings.depth == 16 && !output_is_png) return "--depth 16 needs a .png output";
  if ((settings.given & given_bit(POSTER_POINTS)) != 0 && batches_given) return "give --points or --batches, not both";
  const std::int64_t k = settings.supersample;
  if (std::int64_t{settings.width} * k * settings.height * k > POSTER_MAX_SAMPLES)
    return "--size times --supersample on each side may cover at most 16384 x 16384 samples";
  return {};
}

}  // namespace

std::string poster_option_read(PosterOption option, const std::string& value, PosterSettings& settings) {
  settings.given |= given_bit(option);
  return READERS[option](value, settings);
}

std::string poster_settings_finish(PosterSettings& settings, bool has_output, bool batches_given,
                                    std::int64_t batches, bool output_is_png) {
  if (settings.given == 0) return {};
  if (!has_output) return "the picture options only apply with --output";
  if (std::string error = check_combinations(settings, batches_given, output_is_png); !error.empty()) return error;
  settings.selected = picture_changed(settings);
  if (!settings.selected) return {};
  if ((settings.given & given_bit(POSTER_POINTS)) == 0)
    settings.points = batches_given ? batches * BATCH_POINTS : default_points(settings);
  if (settings.palette.empty()) settings.palette.assign(std::begin(INITIAL_COLOURS.colours), std::end(INITIAL_COLOURS.colours));
  return {};
}

std::string colour_text(std::uint32_t bgr) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
  return text;
}

std::string poster_settings_text(const PosterSettings& settings) {
  char margin[32];
  std::snprintf(margin, sizeof margin, "%g", settings.margin_percent);
  std::string text = "--size " + std::to_string(settings.width) + "x" + std::to_string(settings.height) +
                     " --margin " + margin + " --points " + std::to_string(settings.points) + " --seed " +
                     std::to_string(settings.seed) + " --background " + colour_text(settings.background);
  if (settings.shade == SHADE_DENSITY) {
    char gamma[32];
    std::snprintf(gamma, sizeof gamma, "%g", settings.gamma);
    text += std::string(" --shade density --gamma ") + gamma;
  } else {
    text += " --shade flat";
  }
  text += " --palette ";
  for (std::size_t i = 0; i < settings.palette.size(); ++i) text += (i > 0 ? "," : "") + colour_text(settings.palette[i]);
  text += " --supersample " + std::to_string(settings.supersample) + " --depth " + std::to_string(settings.depth);
  return text;
}
