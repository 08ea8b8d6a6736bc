// Views, transparency and the flame tone, checked against values worked out
// by hand from the rules the options describe: a view's transform, the
// density alpha from the hit counts, matplotlib's published colours.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/render_options.h"
#include "poster/colour_maps.h"
#include "poster_run.h"
#include "reference_streams.h"

namespace {

using Arguments = std::vector<std::string>;

// Three maps that send every point to (0.25, 0.75), (1.5, 0.25) and (5, 5).
const std::string THREE_POINTS = "0 0 0 0 0.25 0.75 0.3\n0 0 0 0 1.5 0.25 0.3\n0 0 0 0 5 5 0.4\n";
// Two maps that send every point to (0, 0) and (1, 0), weights 0.3 and 0.7.
const std::string TWO_POINTS = "0 0 0 0 0 0 0.3\n0 0 0 0 1 0 0.7\n";
const std::vector<ReferenceMap> TWO_POINTS_MAPS = {{0, 0, 0, 0, 0, 0, 0.3f}, {0, 0, 0, 0, 1, 0, 0.7f}};
// --size 30x20 --view -1,-1,2,1: 10 pixels a unit, (0, 0) on pixel (10, 10)
// and (1, 0) on pixel (20, 10).
const Arguments TWO_POINTS_VIEW = {"--size", "30x20", "--view", "-1,-1,2,1", "--points", "100000"};

struct Rgba {
  int red, green, blue, alpha;
};

Rgba rgba(const DecodedPng& png, std::uint32_t x, std::uint32_t y) {
  const Bytes& row = png.rows.at(y);
  return {row.at(4 * x), row.at(4 * x + 1), row.at(4 * x + 2), row.at(4 * x + 3)};
}

bool lit(std::uint32_t x, std::uint32_t y, const std::vector<std::pair<int, int>>& pixels) {
  for (const auto& [px, py] : pixels)
    if (px == static_cast<int>(x) && py == static_cast<int>(y)) return true;
  return false;
}

struct Counts {
  double first = 0, second = 0;
};

Counts two_point_counts(std::int64_t points) {
  Counts counts;
  reference_points(TWO_POINTS_MAPS, 1234, points, [&](float, float, int map) { ++(map == 0 ? counts.first : counts.second); });
  return counts;
}

// The flame tone's density alpha for `hits` when `mean` is the mean hits of
// the reached pixels, before gamma.
double density_alpha(double hits, double mean, double brightness = 1.0) {
  return brightness * std::log(1.0 + hits / mean) / (2.0 * std::log(2.0));
}

TEST_F(PosterTest, ViewDrawsTheRectangleThroughTheTransformWorkedOutByHand) {
  // View [0, 2] x [0, 1] in 40x30: 20 pixels a unit (the width is the tight
  // side), column = 20x, row = 25 - 20y. (0.25, 0.75) -> (5, 10),
  // (1.5, 0.25) -> (30, 20); (5, 5) lies outside and must not widen the view.
  // With a 10% margin (3 pixels of the shorter side): 17 a unit, column =
  // 3 + 17x, row = 23.5 - 17y: (7.25, 10.75) and (28.5, 19.25). In 60x20
  // the height is the tight side: 20 a unit, centred, column = 10 + 20x,
  // row = 20 - 20y: (15, 5) and (40, 15).
  const Arguments colours = {"--shade", "flat", "--palette", "#FF0000,#00FF00,#0000FF", "--points", "5000"};
  struct Case {
    Arguments options;
    std::pair<int, int> red, green;
    int level;  // of a lit pixel's channel
  };
  const std::vector<Case> cases = {
      {{"--size", "40x30", "--view", "0,0,2,1"}, {5, 10}, {30, 20}, 255},
      {{"--size", "40x30", "--view", "0,0,2,1", "--margin", "10"}, {7, 10}, {28, 19}, 255},
      // Twice the samples a side land on the same pixels, one lit sample of
      // four: 255 / 4 rounds to 64.
      {{"--size", "40x30", "--view", "0,0,2,1", "--supersample", "2"}, {5, 10}, {30, 20}, 64},
      {{"--size", "60x20", "--view", "0,0,2,1"}, {15, 5}, {40, 15}, 255},
  };
  for (const Case& c : cases) {
    Arguments options = colours;
    options.insert(options.end(), c.options.begin(), c.options.end());
    const PosterRun run = render(THREE_POINTS, "view.png", options);
    ASSERT_EQ(run.code, 0) << run.errors;
    const DecodedPng png = decode_png(path("view.png"));
    ASSERT_TRUE(png.ok);
    ASSERT_EQ(std::to_string(png.width) + "x" + std::to_string(png.height), c.options[1]);
    for (std::uint32_t y = 0; y < png.height; ++y) {
      for (std::uint32_t x = 0; x < png.width; ++x) {
        const Rgb expected = lit(x, y, {c.red})     ? Rgb{c.level, 0, 0}
                             : lit(x, y, {c.green}) ? Rgb{0, c.level, 0}
                                                    : Rgb{0, 0, 0};
        ASSERT_EQ(pixel(png, x, y), expected) << "at " << x << ", " << y << " with " << c.options.back();
      }
    }
  }
}

TEST(PosterViewOption, TakesFourFiniteNumbersInOrderAndRefusesTheRest) {
  const RenderOptions fine = render_options_parse({"-o", "x.png", "f.ifs", "--view", "-2.5,-1e-3,2,1E2"});
  ASSERT_EQ(fine.mode, MODE_RENDER) << fine.error;
  EXPECT_TRUE(fine.poster.selected) << "a view is the poster renderer's";
  EXPECT_EQ(fine.poster.view.min_x, -2.5);
  EXPECT_EQ(fine.poster.view.min_y, -0.001);
  EXPECT_EQ(fine.poster.view.max_x, 2.0);
  EXPECT_EQ(fine.poster.view.max_y, 100.0);
  EXPECT_EQ(fine.poster.margin_percent, 0.0) << "a view keeps the margin's default";
  for (const std::string bad : {"", "0,0,1", "0,0,1,1,1", "0,0,1,", ",0,1,1", "0, 0,1,1", "0,0,nan,1", "0,0,inf,1",
                                "0,0,1e400,1", "1,0,0,1", "0,0,0,1", "0,1,1,1", "0,0,1,x", "-1e308,0,1e308,1", "+0,0,1,1"}) {
    const RenderOptions options = render_options_parse({"-o", "x.png", "f.ifs", "--view", bad});
    EXPECT_EQ(options.mode, MODE_USAGE_ERROR) << bad;
    EXPECT_NE(options.error.find("--view"), std::string::npos) << bad << ": " << options.error;
  }
}

TEST_F(PosterTest, TransparentBackgroundLeavesUnreachedPixelsClearAndDensityAsCoverage) {
  const Counts counts = two_point_counts(100000);
  const double most = std::max(counts.first, counts.second);
  const double gamma = 2.2;
  auto relative = [&](double hits) { return std::pow(std::log1p(hits) / std::log1p(most), 1.0 / gamma); };
  const double mean = (counts.first + counts.second) / 2.0;
  auto flame = [&](double hits) { return std::min(1.0, std::pow(density_alpha(hits, mean), 1.0 / gamma)); };

  struct Case {
    Arguments options;
    double first_alpha, second_alpha;  // 0..1 at (10, 10) and (20, 10)
    int second_green;                  // the second map's colour is #FFBEFF
  };
  const std::vector<Case> cases = {
      {{"--shade", "density"}, relative(counts.first), relative(counts.second), 190},
      {{"--shade", "flat"}, 1.0, 1.0, 190},
      {{"--brightness", "1", "--margin", "0"}, flame(counts.first), flame(counts.second), 190},
  };
  for (const Case& c : cases) {
    Arguments options = TWO_POINTS_VIEW;
    options.insert(options.end(), c.options.begin(), c.options.end());
    options.insert(options.end(), {"--background", "transparent"});
    const PosterRun run = render(TWO_POINTS, "clear.png", options);
    ASSERT_EQ(run.code, 0) << run.errors;
    const DecodedPng png = decode_png(path("clear.png"));
    ASSERT_TRUE(png.ok);
    ASSERT_EQ(png.colour_type, 6) << "RGBA";
    for (std::uint32_t y = 0; y < png.height; ++y) {
      for (std::uint32_t x = 0; x < png.width; ++x) {
        if (!lit(x, y, {{10, 10}, {20, 10}})) {
          ASSERT_EQ(rgba(png, x, y).alpha, 0) << x << ", " << y;
        }
      }
    }
    const Rgba first = rgba(png, 10, 10);
    const Rgba second = rgba(png, 20, 10);
    EXPECT_NEAR(first.alpha, 255.0 * c.first_alpha, 0.51) << c.options.front();
    EXPECT_NEAR(second.alpha, 255.0 * c.second_alpha, 0.51) << c.options.front();
    // The colour is the map's own, not darkened: the darkening is in alpha.
    EXPECT_EQ((Rgb{first.red, first.green, first.blue}), (Rgb{255, 255, 255})) << c.options.front();
    EXPECT_EQ((Rgb{second.red, second.green, second.blue}), (Rgb{255, c.second_green, 255})) << c.options.front();
  }

  // A half-transparent background: the lit pixels laid over it.
  Arguments options = TWO_POINTS_VIEW;
  options.insert(options.end(), {"--shade", "density", "--background", "#10203080"});
  ASSERT_EQ(render(TWO_POINTS, "half.png", options).code, 0);
  const DecodedPng half = decode_png(path("half.png"));
  ASSERT_TRUE(half.ok);
  const Rgba unreached = rgba(half, 0, 0);
  EXPECT_EQ((Rgb{unreached.red, unreached.green, unreached.blue}), (Rgb{0x10, 0x20, 0x30}));
  EXPECT_EQ(unreached.alpha, 0x80);
  const double a = relative(counts.first);
  const double behind = (128.0 / 255.0) * (1.0 - a);
  const Rgba first = rgba(half, 10, 10);
  EXPECT_NEAR(first.alpha, 255.0 * (a + behind), 0.51);
  EXPECT_NEAR(first.red, 255.0 * (a + 16.0 / 255.0 * behind) / (a + behind), 0.51);
  EXPECT_NEAR(first.blue, 255.0 * (a + 48.0 / 255.0 * behind) / (a + behind), 0.51);
}

TEST_F(PosterTest, TransparencyIsRefusedForBmpAndKeepsEveryOpaqueBackgroundAsItWas) {
  const PosterRun bmp = render(TWO_POINTS, "clear.bmp", {"--background", "transparent"});
  EXPECT_EQ(bmp.code, 64);
  EXPECT_NE(bmp.errors.find("--background"), std::string::npos) << bmp.errors;
  EXPECT_NE(bmp.errors.find(".png"), std::string::npos) << bmp.errors;
  EXPECT_FALSE(file_exists(path("clear.bmp")));

  // An opaque #RRGGBBFF is the #RRGGBB picture, byte for byte, in RGB.
  Arguments opaque = TWO_POINTS_VIEW;
  opaque.insert(opaque.end(), {"--shade", "density", "--background", "#102030"});
  ASSERT_EQ(render(TWO_POINTS, "opaque.png", opaque).code, 0);
  const Bytes rgb = read_file(path("opaque.png"));
  opaque.back() = "#102030ff";
  ASSERT_EQ(render(TWO_POINTS, "opaque.png", opaque).code, 0);
  EXPECT_EQ(read_file(path("opaque.png")), rgb);
  EXPECT_EQ(decode_png(path("opaque.png")).colour_type, 2);
  for (const std::string bad : {"#1020304", "transparant", "#10203040FF", "10203G40"}) {
    const RenderOptions options = render_options_parse({"-o", "x.png", "f.ifs", "--background", bad});
    EXPECT_EQ(options.mode, MODE_USAGE_ERROR) << bad;
  }
}

TEST_F(PosterTest, FlameToneFollowsTheDensityAlphaWithBrightnessAndVibrancy) {
  const Counts counts = two_point_counts(100000);
  const double mean = (counts.first + counts.second) / 2.0;
  const double g = 1.0 / 2.2;
  struct Case {
    Arguments options;
    double brightness, vibrancy;
  };
  for (const Case& c : std::vector<Case>{{{"--brightness", "1"}, 1.0, 1.0},
                                         {{"--brightness", "0.8", "--vibrancy", "0"}, 0.8, 0.0},
                                         {{"--vibrancy", "0.5"}, 1.0, 0.5}}) {
    Arguments options = TWO_POINTS_VIEW;
    options.insert(options.end(), c.options.begin(), c.options.end());
    options.insert(options.end(), {"--margin", "0"});
    const PosterRun run = render(TWO_POINTS, "flame.png", options);
    ASSERT_EQ(run.code, 0) << run.errors;
    const DecodedPng png = decode_png(path("flame.png"));
    ASSERT_TRUE(png.ok);
    // Over black the pixel is the covered colour itself. The second map's
    // colour is (1, 190/255, 1).
    const double alpha = density_alpha(counts.second, mean, c.brightness);
    const double lifted = std::pow(alpha, g);
    auto channel = [&](double colour) {
      return std::min(lifted, c.vibrancy * colour * lifted + (1.0 - c.vibrancy) * std::pow(colour * alpha, g));
    };
    const Rgb second = pixel(png, 20, 10);
    EXPECT_NEAR(second.red, 255.0 * channel(1.0), 0.51) << c.options.back();
    EXPECT_NEAR(second.green, 255.0 * channel(190.0 / 255.0), 0.51) << c.options.back();
    const Rgb first = pixel(png, 10, 10);
    EXPECT_NEAR(first.red, 255.0 * std::pow(density_alpha(counts.first, mean, c.brightness), g), 0.51);
    EXPECT_EQ(pixel(png, 0, 0), (Rgb{0, 0, 0}));
  }

  // Grey: the colour is the coverage itself, laid over black by the coverage.
  Arguments grey = TWO_POINTS_VIEW;
  grey.insert(grey.end(), {"--colormap", "grey", "--margin", "0"});
  ASSERT_EQ(render(TWO_POINTS, "grey.png", grey).code, 0);
  const DecodedPng png = decode_png(path("grey.png"));
  ASSERT_TRUE(png.ok);
  const double coverage = std::min(1.0, std::pow(density_alpha(counts.first, mean), g));
  EXPECT_NEAR(pixel(png, 10, 10).green, 255.0 * coverage * coverage, 0.51);
  EXPECT_EQ(pixel(png, 10, 10).red, pixel(png, 10, 10).blue);
}

TEST(PosterToneOptions, BringTheFinishedPictureDefaultsAndRefuseWhatContradictsThem) {
  auto parse = [](const Arguments& extra) {
    Arguments arguments{"-o", "x.png", "f.ifs"};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return render_options_parse(arguments);
  };
  for (const std::string option : {"--brightness", "--vibrancy", "--colormap"}) {
    const RenderOptions options = parse({option, option == "--colormap" ? "inferno" : "1", "--size", "100x50"});
    ASSERT_EQ(options.mode, MODE_RENDER) << options.error;
    EXPECT_TRUE(options.poster.selected) << option;
    EXPECT_EQ(options.poster.shade, SHADE_DENSITY) << option;
    EXPECT_EQ(options.poster.margin_percent, 4.0) << option;
    EXPECT_EQ(options.poster.points, 200 * 100 * 50) << option;
  }
  // Given values win over those defaults; without a tone option nothing changes.
  const RenderOptions given = parse({"--brightness", "2", "--margin", "0", "--points", "7"});
  EXPECT_EQ(given.poster.margin_percent, 0.0);
  EXPECT_EQ(given.poster.points, 7);
  EXPECT_EQ(parse({"--size", "100x50"}).poster.points, 200010);
  EXPECT_EQ(parse({"--size", "100x50"}).poster.margin_percent, 0.0);
  EXPECT_EQ(parse({"--colormap", "gray"}).poster.colormap, COLOUR_MAP_GREY);

  const std::vector<std::pair<Arguments, std::string>> refused = {
      {{"--brightness", "0"}, "--brightness"},        {{"--brightness", "101"}, "--brightness"},
      {{"--brightness", "-1"}, "--brightness"},       {{"--vibrancy", "1.5"}, "--vibrancy"},
      {{"--vibrancy", "x"}, "--vibrancy"},            {{"--colormap", "jet"}, "--colormap"},
      {{"--colormap", "Inferno"}, "--colormap"},      {{"--colormap", "magma", "--shade", "flat"}, "--shade flat"},
      {{"--colormap", "magma", "--palette", "#FF0000"}, "--palette"},
  };
  for (const auto& [extra, named] : refused) {
    const RenderOptions options = parse(extra);
    EXPECT_EQ(options.mode, MODE_USAGE_ERROR) << extra.front() << " " << extra[1];
    EXPECT_NE(options.error.find(named), std::string::npos) << options.error;
  }
}

// The end and middle entries as matplotlib publishes them in hexadecimal.
TEST(ColourMaps, EntriesMatchThePublishedColours) {
  struct Entry {
    ColourMapName map;
    double position;
    unsigned hex;
  };
  const Entry entries[] = {
      {COLOUR_MAP_VIRIDIS, 0.0, 0x440154}, {COLOUR_MAP_VIRIDIS, 128.0 / 255.0, 0x21918C},
      {COLOUR_MAP_VIRIDIS, 1.0, 0xFDE725}, {COLOUR_MAP_INFERNO, 0.0, 0x000004},
      {COLOUR_MAP_INFERNO, 1.0, 0xFCFFA4}, {COLOUR_MAP_MAGMA, 0.0, 0x000004},
      {COLOUR_MAP_MAGMA, 1.0, 0xFCFDBF},   {COLOUR_MAP_CIVIDIS, 0.0, 0x00224E},
      {COLOUR_MAP_CIVIDIS, 1.0, 0xFEE838}, {COLOUR_MAP_GREY, 0.5, 0x808080},
  };
  for (const Entry& e : entries) {
    const MapColour c = colour_map_at(e.map, e.position);
    EXPECT_NEAR(c.red * 255.0, (e.hex >> 16) & 0xFF, 0.5) << colour_map_word(e.map) << " " << e.position;
    EXPECT_NEAR(c.green * 255.0, (e.hex >> 8) & 0xFF, 0.5) << colour_map_word(e.map) << " " << e.position;
    EXPECT_NEAR(c.blue * 255.0, e.hex & 0xFF, 0.5) << colour_map_word(e.map) << " " << e.position;
  }
  // Out of range and not a number stay at the ends.
  const MapColour low = colour_map_at(COLOUR_MAP_INFERNO, -3.0);
  const MapColour none = colour_map_at(COLOUR_MAP_INFERNO, std::nan(""));
  const MapColour high = colour_map_at(COLOUR_MAP_INFERNO, 7.0);
  EXPECT_EQ(low.red, INFERNO_TABLE[0].red);
  EXPECT_EQ(none.blue, INFERNO_TABLE[0].blue);
  EXPECT_EQ(high.green, INFERNO_TABLE[255].green);
}

}  // namespace
