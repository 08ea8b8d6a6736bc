#include "poster/poster_settings.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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

// "#RRGGBB" or "RRGGBB" as 0xBBGGRR, and with `alpha` also "#RRGGBBAA";
// false otherwise.
bool parse_colour(const std::string& text, std::uint32_t& bgr, std::uint32_t* alpha = nullptr) {
  const std::string digits = text.starts_with("#") ? text.substr(1) : text;
  const std::size_t count = digits.size() / 2;
  if (digits.size() != 6 && (alpha == nullptr || digits.size() != 8)) return false;
  std::uint32_t components[4] = {0, 0, 0, POSTER_OPAQUE};
  for (std::size_t c = 0; c < count; ++c) {
    const int high = hex_digit(digits[2 * c]);
    const int low = hex_digit(digits[2 * c + 1]);
    if (high < 0 || low < 0) return false;
    components[c] = static_cast<std::uint32_t>(high * 16 + low);
  }
  bgr = colour_from_components(components[0], components[1], components[2]);
  if (alpha != nullptr) *alpha = components[3];
  return true;
}

// A finite number in the C locale's form, the whole text and nothing else.
bool plane_number(const std::string& text, double& value) {
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  return error == std::errc{} && stop == end && std::isfinite(value);
}

std::string read_size(const std::string& value, PosterSettings& settings) {
  const std::size_t cross = value.find_first_of("xX");
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
  if (value == "transparent") {
    settings.background = 0;
    settings.background_alpha = 0;
    return {};
  }
  if (!parse_colour(value, settings.background, &settings.background_alpha))
    return "--background takes a colour #RRGGBB or #RRGGBBAA, or transparent, not \"" + value + "\"";
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

std::string read_view(const std::string& value, PosterSettings& settings) {
  double corners[4] = {};
  std::size_t begin = 0;
  bool read = true;
  for (int i = 0; i < 4 && read; ++i) {
    const std::size_t comma = i < 3 ? value.find(',', begin) : value.size();
    read = comma != std::string::npos && plane_number(value.substr(begin, comma - begin), corners[i]);
    begin = comma + 1;
  }
  const PlaneView view{corners[0], corners[1], corners[2], corners[3]};
  if (!read)
    return "--view takes four numbers XMIN,YMIN,XMAX,YMAX separated by commas, not \"" + value + "\"";
  if (!(view.min_x < view.max_x) || !(view.min_y < view.max_y) || !std::isfinite(view.max_x - view.min_x) ||
      !std::isfinite(view.max_y - view.min_y))
    return "--view needs XMIN below XMAX and YMIN below YMAX, not \"" + value + "\"";
  settings.view = view;
  settings.has_view = true;
  return {};
}

std::string read_brightness(const std::string& value, PosterSettings& settings) {
  const double brightness = decimal_number(value);
  if (!(brightness > 0.0 && brightness <= POSTER_MAX_BRIGHTNESS))
    return "--brightness takes a number above 0 and up to 100, not \"" + value + "\"";
  settings.brightness = brightness;
  return {};
}

std::string read_vibrancy(const std::string& value, PosterSettings& settings) {
  const double vibrancy = decimal_number(value);
  if (!(vibrancy >= 0.0 && vibrancy <= 1.0)) return "--vibrancy takes a number from 0 to 1, not \"" + value + "\"";
  settings.vibrancy = vibrancy;
  return {};
}

std::string read_colormap(const std::string& value, PosterSettings& settings) {
  settings.colormap = colour_map_named(value);
  if (settings.colormap == COLOUR_MAP_NONE)
    return "--colormap takes inferno, magma, viridis, cividis or grey, not \"" + value + "\"";
  return {};
}

// In the order of PosterOption.
constexpr ValueReader READERS[] = {
    read_size,    read_margin,  read_points,      read_seed,    read_background, read_shade,
    read_gamma,   read_palette, read_supersample, read_threads, read_depth,      read_view,
    read_brightness, read_vibrancy, read_colormap,
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
         !default_palette(settings.palette) || settings.supersample != 1 || settings.depth != 8 ||
         settings.has_view || poster_transparent(settings) || poster_flame_tone(settings);
}

constexpr std::uint32_t FLAME_TONE_OPTIONS =
    given_bit(POSTER_BRIGHTNESS) | given_bit(POSTER_VIBRANCY) | given_bit(POSTER_COLORMAP);

std::int64_t default_points(const PosterSettings& settings) {
  const std::int64_t per_pixel = poster_flame_tone(settings) ? POSTER_TONE_POINTS_PER_PIXEL : POSTER_POINTS_PER_PIXEL;
  const std::int64_t by_size = std::min(per_pixel * settings.width * settings.height, POSTER_MAX_POINTS);
  return by_size > POSTER_MIN_DEFAULT_POINTS ? by_size : POSTER_MIN_DEFAULT_POINTS;
}

std::string check_combinations(const PosterSettings& settings, bool batches_given, bool output_is_png) {
  const bool flame = poster_flame_tone(settings);
  if ((settings.given & given_bit(POSTER_GAMMA)) != 0 && settings.shade != SHADE_DENSITY && !flame)
    return "--gamma only applies with --shade density";
  if (flame && (settings.given & given_bit(POSTER_SHADE)) != 0 && settings.shade != SHADE_DENSITY)
    return "--brightness, --vibrancy and --colormap shade by density: they do not go with --shade flat";
  if (settings.colormap != COLOUR_MAP_NONE && (settings.given & given_bit(POSTER_PALETTE)) != 0)
    return "give --palette or --colormap, not both";
  if (poster_transparent(settings) && !output_is_png) return "a transparent --background needs a .png output";
  if (settings.depth == 16 && !output_is_png) return "--depth 16 needs a .png output";
  if ((settings.given & given_bit(POSTER_POINTS)) != 0 && batches_given) return "give --points or --batches, not both";
  const std::int64_t k = settings.supersample;
  if (std::int64_t{settings.width} * k * settings.height * k > POSTER_MAX_SAMPLES)
    return "--size times --supersample on each side may cover at most 16384 x 16384 samples";
  return {};
}

}  // namespace

bool poster_flame_tone(const PosterSettings& settings) { return (settings.given & FLAME_TONE_OPTIONS) != 0; }

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
  if (poster_flame_tone(settings)) {
    settings.shade = SHADE_DENSITY;
    if ((settings.given & given_bit(POSTER_MARGIN)) == 0) settings.margin_percent = POSTER_TONE_MARGIN;
  }
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
