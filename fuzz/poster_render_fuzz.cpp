// The poster renderer on small pictures: the table (one to six maps, with
// the odd NaN, infinity or huge value, now and then a turned 3-D one) and the picture options come from the
// input, each option's value as text through the option reader, some of them
// malformed. A picture the options accept is rendered as PNG or BMP and read
// back by libpng or a BMP reader: its size and depth are the options', with
// no points every pixel is the background, with flat shading and no
// supersampling every pixel is the background or a palette colour, the
// PNG's Comment gives back the same options, and a render on another number
// of threads writes the same bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "app/colour_table.h"
#include "fuzz/bmp_reading.h"
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_program.h"
#include "fuzz/png_reading.h"
#include "poster/poster_render.h"
#include "runtime/core/startup.h"

namespace {

constexpr int MAX_MAPS = 6;
constexpr int MAX_SIDE = 40;
constexpr int MAX_POINTS = 200000;

std::string picture_path;
std::string again_path;

// Ordinary coefficients mostly, now and then a value that is not a number or is far out.
float coefficient(FuzzInput& input) {
  const int byte = input.number(0, 255);
  switch (byte) {
    case 250: return std::numeric_limits<float>::quiet_NaN();
    case 251: return std::numeric_limits<float>::infinity();
    case 252: return -std::numeric_limits<float>::infinity();
    case 253: return 3e38f;
    case 254: return 1e-40f;
    case 255: return -0.0f;
    default: return static_cast<float>(byte - 125) / 100.0f;
  }
}

IfsTable fuzz_table(FuzzInput& input) {
  IfsTable table;
  const int maps = input.number(1, MAX_MAPS);
  fuzz_check(ifs_table_resize(table, maps));
  for (int map = 0; map < maps; ++map) {
    for (int parameter = 0; parameter < IFS_P; ++parameter) ifs_set(table, parameter, map, coefficient(input));
    ifs_set(table, IFS_P, map, static_cast<float>(input.number(0, 100)) / 100.0f);
  }
  return table;
}

// Now and then a 3-D table instead: twelve numbers a map beside the
// table's weights, turned by whole degrees.
SpaceMaps fuzz_space(FuzzInput& input, const IfsTable& table) {
  SpaceMaps space;
  if (input.number(0, 3) != 0) return space;
  space.active = true;
  space.values.resize(static_cast<std::size_t>(table.map_count) * SPACE_STORED_PER_MAP);
  for (float& value : space.values) value = coefficient(input);
  const auto angle = [&] { return static_cast<double>(input.number(0, 720) - 360); };
  const double yaw = angle(), pitch = angle(), roll = angle();
  space.turn = space_turn_from_degrees(yaw, pitch, roll);
  space.turned = yaw != 0.0 || pitch != 0.0 || roll != 0.0;
  return space;
}

std::string digits(FuzzInput& input, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += static_cast<char>('0' + input.number(0, 9));
  return text;
}

// A decimal as a user may type it: whole part, then up to nine fraction digits.
std::string decimal(FuzzInput& input, int whole_limit) {
  std::string text = std::to_string(input.number(0, whole_limit));
  const int fraction = input.number(0, 9);
  if (fraction > 0) text += "." + digits(input, fraction);
  return text;
}

std::string colour(FuzzInput& input) {
  static const char HEX[] = "0123456789abcdef";
  std::string text = "#";
  for (int i = 0; i < 6; ++i) text += HEX[input.number(0, 15)];
  return text;
}

std::string option_value(PosterOption option, FuzzInput& input) {
  switch (option) {
    case POSTER_SIZE: return std::to_string(input.number(0, MAX_SIDE)) + "x" + std::to_string(input.number(0, MAX_SIDE));
    case POSTER_MARGIN: return decimal(input, 50);
    case POSTER_POINTS: return std::to_string(input.number(0, MAX_POINTS));
    case POSTER_SEED: return std::to_string(static_cast<unsigned>(input.number(0, 65535)) * 65536u + input.number(0, 65535));
    case POSTER_BACKGROUND: return colour(input);
    case POSTER_SHADE: return input.number(0, 1) ? "density" : "flat";
    case POSTER_GAMMA: return decimal(input, 10);
    case POSTER_PALETTE: {
      std::string palette = colour(input);
      for (int more = input.number(0, 4); more > 0; --more) palette += "," + colour(input);
      return palette;
    }
    case POSTER_SUPERSAMPLE: return std::to_string(input.number(0, 4));
    case POSTER_THREADS: return std::to_string(input.number(1, 3));
    case POSTER_DEPTH: return input.number(0, 1) ? "16" : "8";
    case POSTER_VIEW: {
      const auto corner = [&] { return (input.number(0, 1) ? "-" : "") + decimal(input, 10); };
      std::string view = corner();
      for (int i = 0; i < 3; ++i) view += "," + corner();
      return view;
    }
    case POSTER_BRIGHTNESS: return decimal(input, 100);
    case POSTER_VIBRANCY: return decimal(input, 1);
    case POSTER_COLORMAP: {
      static const char* const NAMES[] = {"inferno", "magma", "viridis", "cividis", "grey", "gray", "jet"};
      return NAMES[input.number(0, 6)];
    }
  }
  return {};
}

// Each option given or not, with a value the reader accepts or refuses.
bool read_options(FuzzInput& input, PosterSettings& settings, bool png) {
  for (int option = POSTER_SIZE; option <= POSTER_COLORMAP; ++option) {
    if (input.number(0, 1) == 0) continue;
    const std::string value = option_value(static_cast<PosterOption>(option), input);
    if (!poster_option_read(static_cast<PosterOption>(option), value, settings).empty()) return false;
  }
  return poster_settings_finish(settings, true, false, 0, png).empty();
}

const char* const OPTION_NAMES[] = {"--size",    "--margin",  "--points",      "--seed",    "--background", "--shade",
                                    "--gamma",   "--palette", "--supersample", "--threads", "--depth",
                                    "--view",    "--brightness", "--vibrancy", "--colormap"};

// A word as the shell reads it: the Comment quotes values such as "#102030".
std::string shell_word(std::string word) {
  if (word.size() < 2 || word.front() != '\'' || word.back() != '\'') return word;
  word = word.substr(1, word.size() - 2);
  for (std::size_t at = 0; (at = word.find("'\\''", at)) != std::string::npos; ++at) word.replace(at, 4, "'");
  return word;
}

// The options of the Comment text ("ifs-render OPTION VALUE ... -o OUT SOURCE") read again.
PosterSettings settings_from_comment(const std::string& comment, bool png) {
  std::istringstream words(comment);
  std::string word, value;
  words >> word;
  fuzz_check(word == "ifs-render");
  PosterSettings settings;
  while (words >> word && word.starts_with("--") && words >> value) {
    value = shell_word(value);
    int option = 0;
    while (option <= POSTER_COLORMAP && word != OPTION_NAMES[option]) ++option;
    fuzz_check(option <= POSTER_COLORMAP);
    fuzz_check(poster_option_read(static_cast<PosterOption>(option), value, settings).empty());
  }
  fuzz_check(poster_settings_finish(settings, true, false, 0, png).empty());
  return settings;
}

bool same_picture_settings(const PosterSettings& a, const PosterSettings& b) {
  return a.width == b.width && a.height == b.height && a.margin_percent == b.margin_percent && a.points == b.points &&
         a.seed == b.seed && a.background == b.background && a.shade == b.shade &&
         (a.shade == SHADE_FLAT || a.gamma == b.gamma) && a.palette == b.palette && a.supersample == b.supersample &&
         a.depth == b.depth && a.has_view == b.has_view &&
         (!a.has_view || (a.view.min_x == b.view.min_x && a.view.min_y == b.view.min_y &&
                          a.view.max_x == b.view.max_x && a.view.max_y == b.view.max_y)) &&
         a.brightness == b.brightness && a.vibrancy == b.vibrancy && a.colormap == b.colormap;
}

// R, G, B of a pixel, 8 bits each (the high byte of a 16-bit sample, which
// must then repeat in the low byte for the colours checked).
struct Pixels {
  std::int64_t width = 0, height = 0;
  int depth = 8;
  std::vector<std::vector<std::uint8_t>> rows;
  bool is_colour(std::int64_t x, std::int64_t y, std::uint32_t bgr) const {
    const int bytes = depth / 8;
    for (int channel = 0; channel < 3; ++channel) {
      const std::uint8_t wanted = static_cast<std::uint8_t>(bgr >> (8 * channel));
      for (int b = 0; b < bytes; ++b)
        if (rows[y][(x * 3 + channel) * bytes + b] != wanted) return false;
    }
    return true;
  }
};

Pixels read_picture(const std::string& file, const PosterSettings& settings, bool png) {
  Pixels pixels;
  pixels.depth = png ? settings.depth : 8;
  if (png) {
    DecodedPng decoded;
    fuzz_check(png_decode(reinterpret_cast<const std::uint8_t*>(file.data()), file.size(), decoded));
    fuzz_check(decoded.colour_type == PNG_COLOR_TYPE_RGB && decoded.bit_depth == settings.depth);
    fuzz_check(decoded.texts.count("Software") == 1 && decoded.texts.count("Comment") == 1);
    fuzz_check(same_picture_settings(settings, settings_from_comment(decoded.texts["Comment"], png)));
    pixels.width = decoded.width;
    pixels.height = decoded.height;
    pixels.rows = std::move(decoded.rows);
  } else {
    DecodedBmp decoded;
    fuzz_check(bmp_decode_24(file, decoded));
    pixels.width = decoded.width;
    pixels.height = decoded.height;
    pixels.rows = std::move(decoded.rows);
  }
  fuzz_check(pixels.width == settings.width && pixels.height == settings.height);
  return pixels;
}

void check_colours(const Pixels& pixels, const PosterSettings& settings, const IfsTable& table) {
  const bool only_background = settings.points == 0;
  const bool palette_only = settings.shade == SHADE_FLAT && settings.supersample == 1;
  if (!only_background && !palette_only) return;
  const std::size_t used = std::min<std::size_t>(settings.palette.size(), static_cast<std::size_t>(table.map_count));
  for (std::int64_t y = 0; y < pixels.height; ++y) {
    for (std::int64_t x = 0; x < pixels.width; ++x) {
      bool known = pixels.is_colour(x, y, settings.background);
      for (std::size_t c = 0; !known && !only_background && c < used; ++c) known = pixels.is_colour(x, y, settings.palette[c]);
      fuzz_check(known);
    }
  }
}

std::u16string wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  picture_path = fuzz_scratch_path("poster_render_picture");
  again_path = fuzz_scratch_path("poster_render_again");
  if (!program_begin()) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const bool png = input.number(0, 1) == 1;
  const IfsTable table = fuzz_table(input);
  const SpaceMaps space = fuzz_space(input, table);
  PosterSettings settings;
  if (!read_options(input, settings, png) || !settings.selected) return 0;
  // Both renders name the same picture in their Comment, so their bytes can be compared.
  const PosterOutput output{wide(picture_path), png, "ifs-render fuzz", RemakeNames{"", "picture.png", "table.ifs"}, {}};
  fuzz_check(poster_render(table, space, settings, output) == POSTER_RENDERED);
  const std::string picture = fuzz_read_file(picture_path);
  check_colours(read_picture(picture, settings, png), settings, table);
  PosterSettings other_threads = settings;
  other_threads.threads = poster_threads(settings) == 1 ? 3 : 1;
  fuzz_check(poster_render(table, space, other_threads, PosterOutput{wide(again_path), png, output.software, output.names, {}}) ==
             POSTER_RENDERED);
  fuzz_check(fuzz_read_file(again_path) == picture);
  return 0;
}
