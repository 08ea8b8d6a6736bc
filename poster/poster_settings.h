// The options of the poster renderer: any picture size, a margin, a number
// of points, a seed, a background, flat or density shading with gamma and a
// palette, supersampling, threads and 16-bit PNGs. Each option's value is
// read and checked here; the command line's option table hands them over.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "poster/colour_maps.h"
#include "poster/sample_buffer.h"
#include "app/picture.h"

inline constexpr int POSTER_MAX_SIDE = 16384;
// The largest sample canvas (picture times supersampling squared).
inline constexpr std::int64_t POSTER_MAX_SAMPLES = std::int64_t{POSTER_MAX_SIDE} * POSTER_MAX_SIDE;
inline constexpr std::int64_t POSTER_MAX_POINTS = 1000000000000;  // hours of work on one core
inline constexpr int POSTER_MAX_SUPERSAMPLE = 8;
inline constexpr int POSTER_MAX_THREADS = 1024;
inline constexpr int POSTER_MAX_PALETTE = 256;
inline constexpr double POSTER_MIN_GAMMA = 0.1;
inline constexpr double POSTER_MAX_GAMMA = 10.0;
inline constexpr double POSTER_MAX_MARGIN = 49.0;
// The desktop program's picture: these values (and the eight point colours,
// a black background, 8 bits) leave it to the desktop program's pipeline.
inline constexpr int POSTER_DEFAULT_SIDE = APP_CANVAS_SIZE;
inline constexpr std::uint32_t POSTER_DEFAULT_SEED = APP_RANDOM_SEED;
inline constexpr double POSTER_DEFAULT_GAMMA = 2.2;
// Without --points: as many as the default render draws, or 20 per pixel
// for larger pictures.
inline constexpr std::int64_t POSTER_MIN_DEFAULT_POINTS = 10 * BATCH_POINTS;
inline constexpr std::int64_t POSTER_POINTS_PER_PIXEL = 20;
// With the flame tone (--brightness, --vibrancy or --colormap) the defaults
// are those of a finished picture rather than the desktop program's: more
// points and a margin so that the fractal does not touch the frame.
inline constexpr std::int64_t POSTER_TONE_POINTS_PER_PIXEL = 200;
inline constexpr double POSTER_TONE_MARGIN = 4.0;
inline constexpr double POSTER_DEFAULT_BRIGHTNESS = 1.0;
inline constexpr double POSTER_DEFAULT_VIBRANCY = 1.0;
inline constexpr double POSTER_MAX_BRIGHTNESS = 100.0;
inline constexpr std::uint32_t POSTER_OPAQUE = 255;

// The rectangle of the plane --view draws, in the table's coordinates.
struct PlaneView {
  double min_x = 0.0, min_y = 0.0, max_x = 0.0, max_y = 0.0;
};

struct PosterSettings {
  int width = POSTER_DEFAULT_SIDE;
  int height = POSTER_DEFAULT_SIDE;
  double margin_percent = 0.0;
  std::int64_t points = 0;  // 0 until decided by poster_settings_finish
  std::uint32_t seed = POSTER_DEFAULT_SEED;
  std::uint32_t background = 0;          // 0xBBGGRR
  std::uint32_t background_alpha = POSTER_OPAQUE;  // below 255: an RGBA picture
  ShadeMode shade = SHADE_FLAT;
  double gamma = POSTER_DEFAULT_GAMMA;
  std::vector<std::uint32_t> palette;    // 0xBBGGRR; the eight point colours when none given
  int supersample = 1;
  int threads = 0;                       // 0: every core
  int depth = 8;
  bool has_view = false;  // --view: that rectangle instead of the fitted attractor
  PlaneView view;
  double brightness = POSTER_DEFAULT_BRIGHTNESS;
  double vibrancy = POSTER_DEFAULT_VIBRANCY;
  ColourMapName colormap = COLOUR_MAP_NONE;

  std::uint32_t given = 0;  // one bit per option seen
  bool selected = false;    // the picture is the poster renderer's, not the desktop program's
};

// The picture options, one bit each in PosterSettings::given.
enum PosterOption {
  POSTER_SIZE,
  POSTER_MARGIN,
  POSTER_POINTS,
  POSTER_SEED,
  POSTER_BACKGROUND,
  POSTER_SHADE,
  POSTER_GAMMA,
  POSTER_PALETTE,
  POSTER_SUPERSAMPLE,
  POSTER_THREADS,
  POSTER_DEPTH,
  POSTER_VIEW,
  POSTER_BRIGHTNESS,
  POSTER_VIBRANCY,
  POSTER_COLORMAP,
};

// Whether the picture is shaded with the flame tone (log density scaled by
// the average density, brightness and vibrancy) rather than relative to the
// busiest sample.
bool poster_flame_tone(const PosterSettings& settings);
// Whether the picture has an alpha channel.
inline bool poster_transparent(const PosterSettings& settings) { return settings.background_alpha != POSTER_OPAQUE; }
// An option's count: digits only (at most 13), at most `limit`; -1 otherwise.
std::int64_t option_whole_number(const std::string& text, std::int64_t limit);

// Reads one option's value into the settings and notes the option as given;
// an error text naming the option, or empty when the value is fine.
std::string poster_option_read(PosterOption option, const std::string& value, PosterSettings& settings);

// After all arguments: checks the options against each other and the output,
// decides whether the poster renderer draws the picture and how many points
// it plays. `batches` counts when given (each is 20001 points). An error text,
// or empty when all is well.
std::string poster_settings_finish(PosterSettings& settings, bool has_output, bool batches_given,
                                    std::int64_t batches, bool output_is_png);

// Colours as written on the command line: "#RRGGBB".
std::string colour_text(std::uint32_t bgr);
