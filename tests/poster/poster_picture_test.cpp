// Pictures of the poster renderer checked against what the points must give:
// hit counts computed directly from the renderer's rules, the attractor's box
// fitted into the canvas, the same bytes whatever the number of threads.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/offscreen_render.h"
#include "poster_run.h"
#include "reference_streams.h"

namespace {

// Two maps that send every point to (0, 0) and (1, 0), weights 0.3 and 0.7.
const std::string TWO_POINTS = "0 0 0 0 0 0 0.3\n0 0 0 0 1 0 0.7\n";
const std::vector<ReferenceMap> TWO_POINTS_MAPS = {{0, 0, 0, 0, 0, 0, 0.3f}, {0, 0, 0, 0, 1, 0, 0.7f}};
// Four half-size copies tiling the unit square, and two of them side by side
// twice, tiling [0, 2] x [0, 1].
const std::string UNIT_SQUARE =
    "0.5 0 0 0.5 0 0 0.25\n0.5 0 0 0.5 0.5 0 0.25\n0.5 0 0 0.5 0 0.5 0.25\n0.5 0 0 0.5 0.5 0.5 0.25\n";
const std::string WIDE_RECTANGLE =
    "0.5 0 0 0.5 0 0 0.25\n0.5 0 0 0.5 1 0 0.25\n0.5 0 0 0.5 0 0.5 0.25\n0.5 0 0 0.5 1 0.5 0.25\n";
// Three copies at 0.6 times the size that overlap, so most pixels are
// reached by several maps and the last point on a pixel decides its flat
// colour.
const std::string OVERLAPPING =
    "0.6 0 0 0.6 0 0 0.34\n0.6 0 0 0.6 0.4 0 0.33\n0.6 0 0 0.6 0.2 0.4 0.33\n";
const std::string FERN =
    "0 0 0 0.16 0 0 0.01\n0.85 0.04 -0.04 0.85 0 1.6 0.85\n0.2 -0.26 0.23 0.22 0 1.6 0.07\n"
    "-0.15 0.28 0.26 0.24 0 0.44 0.07\n";

const Rgb BLACK{0, 0, 0};

struct MapHits {
  std::int64_t first = 0, second = 0;
};

MapHits count_two_points(std::int64_t points) {
  MapHits hits;
  reference_points(TWO_POINTS_MAPS, 1234, points, [&](float, float, int map) { ++(map == 0 ? hits.first : hits.second); });
  return hits;
}

// The shade of a sample hit `hits` times when the busiest one was hit `most`
// times: log density relative to the busiest, to the power 1/gamma, in 0..255.
double brightness(std::int64_t hits, std::int64_t most, double gamma) {
  return 255.0 * std::pow(std::log(1.0 + hits) / std::log(1.0 + most), 1.0 / gamma);
}

// Every pixel outside `lit` is `background`.
void expect_only_lit(const DecodedPng& png, const std::vector<std::pair<int, int>>& lit, const Rgb& background) {
  for (std::uint32_t y = 0; y < png.height; ++y) {
    for (std::uint32_t x = 0; x < png.width; ++x) {
      bool listed = false;
      for (const auto& [lx, ly] : lit) listed = listed || (lx == static_cast<int>(x) && ly == static_cast<int>(y));
      if (!listed) {
        EXPECT_EQ(pixel(png, x, y), background) << "at " << x << ", " << y;
      }
    }
  }
}

void expect_near(const Rgb& actual, double red, double green, double blue) {
  EXPECT_NEAR(actual.red, red, 1.0);
  EXPECT_NEAR(actual.green, green, 1.0);
  EXPECT_NEAR(actual.blue, blue, 1.0);
}

// The box of the pixels that are not background, and whether all inside it are lit.
struct LitBox {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool filled = true;
};

LitBox lit_box(const DecodedPng& png) {
  LitBox box;
  for (std::uint32_t y = 0; y < png.height; ++y) {
    for (std::uint32_t x = 0; x < png.width; ++x) {
      if (pixel(png, x, y) == BLACK) continue;
      box.left = std::min(box.left, static_cast<int>(x));
      box.right = std::max(box.right, static_cast<int>(x));
      box.top = std::min(box.top, static_cast<int>(y));
      box.bottom = std::max(box.bottom, static_cast<int>(y));
    }
  }
  for (int y = box.top; y <= box.bottom; ++y) {
    for (int x = box.left; x <= box.right; ++x) box.filled = box.filled && !(pixel(png, x, y) == BLACK);
  }
  return box;
}

TEST_F(PosterTest, DensityOfTwoPointsFollowsHitCountsComputedDirectly) {
  const std::int64_t points = 200000;  // four chunks, the last one short
  const PosterRun run = render(TWO_POINTS, "two.png",
                                {"--shade", "density", "--size", "11x5", "--points", std::to_string(points),
                                 "--palette", "#FF0000,#0000FF", "--gamma", "2"});
  ASSERT_EQ(run.code, 0) << run.errors;
  const MapHits hits = count_two_points(points);
  ASSERT_EQ(hits.first + hits.second, points);
  const std::int64_t most = std::max(hits.first, hits.second);
  const DecodedPng png = decode_png(path("two.png"));
  ASSERT_TRUE(png.ok);
  ASSERT_EQ(png.width, 11u);
  ASSERT_EQ(png.height, 5u);
  // (0, 0) and (1, 0) span the width on the middle row, centres of the end pixels.
  expect_near(pixel(png, 0, 2), brightness(hits.first, most, 2.0), 0, 0);
  expect_near(pixel(png, 10, 2), 0, 0, brightness(hits.second, most, 2.0));
  expect_only_lit(png, {{0, 2}, {10, 2}}, BLACK);
}

TEST_F(PosterTest, SupersampledPixelsAreTheMeanOfTheirSamples) {
  const std::int64_t points = 100000;
  const PosterRun run = render(TWO_POINTS, "two.png",
                                {"--shade", "density", "--size", "11x5", "--supersample", "2", "--points",
                                 std::to_string(points), "--palette", "#FF0000,#0000FF", "--gamma", "1", "--depth", "16"});
  ASSERT_EQ(run.code, 0) << run.errors;
  const MapHits hits = count_two_points(points);
  const std::int64_t most = std::max(hits.first, hits.second);
  const DecodedPng png = decode_png(path("two.png"));
  ASSERT_TRUE(png.ok);
  ASSERT_EQ(png.bit_depth, 16);
  // 22 x 10 samples: the points hit samples (0, 5) and (21, 5), one of the
  // four samples of pixels (0, 2) and (10, 2).
  const double scale = 65535.0 / 255.0 / 4.0;
  expect_near(pixel(png, 0, 2), brightness(hits.first, most, 1.0) * scale, 0, 0);
  expect_near(pixel(png, 10, 2), 0, 0, brightness(hits.second, most, 1.0) * scale);
  expect_only_lit(png, {{0, 2}, {10, 2}}, BLACK);
}

TEST_F(PosterTest, MapsHittingOnePixelBlendTheirColoursByHits) {
  const std::int64_t points = 150000;
  const std::vector<ReferenceMap> maps = {{0, 0, 0, 0, 0, 0, 0.25f}, {0, 0, 0, 0, 0, 0, 0.75f}};
  std::int64_t first = 0;
  reference_points(maps, 9, points, [&](float, float, int map) { first += map == 0; });
  const PosterRun run = render("0 0 0 0 0 0 0.25\n0 0 0 0 0 0 0.75\n", "one.png",
                                {"--shade", "density", "--size", "5x5", "--seed", "9", "--points",
                                 std::to_string(points), "--palette", "#FF0000,#0000FF", "--background", "#204060"});
  ASSERT_EQ(run.code, 0) << run.errors;
  const DecodedPng png = decode_png(path("one.png"));
  ASSERT_TRUE(png.ok);
  // A box without extent lands in the middle; the busiest pixel is at full strength.
  const double share = static_cast<double>(first) / points;
  expect_near(pixel(png, 2, 2), 255.0 * share, 0, 255.0 * (1.0 - share));
  expect_only_lit(png, {{2, 2}}, Rgb{0x20, 0x40, 0x60});
}

TEST_F(PosterTest, AttractorBoxFillsTheCanvasLessTheMarginUndistortedAndCentred) {
  // 40 x 20 with a 10 % margin (2 pixels of the shorter side) leaves 36 x 16:
  // the unit square becomes 16 x 16, centred across.
  PosterRun run = render(UNIT_SQUARE, "square.png", {"--size", "40x20", "--margin", "10", "--points", "300000"});
  ASSERT_EQ(run.code, 0) << run.errors;
  LitBox box = lit_box(decode_png(path("square.png")));
  EXPECT_EQ(box.left, 12);
  EXPECT_EQ(box.right, 27);
  EXPECT_EQ(box.top, 2);
  EXPECT_EQ(box.bottom, 17);
  EXPECT_TRUE(box.filled);
  // Supersampled, the margin and the box stay where they were in pixels.
  run = render(UNIT_SQUARE, "fine.png", {"--size", "40x20", "--margin", "10", "--points", "300000", "--supersample", "2"});
  ASSERT_EQ(run.code, 0) << run.errors;
  const LitBox fine = lit_box(decode_png(path("fine.png")));
  EXPECT_EQ(std::vector<int>({fine.left, fine.right, fine.top, fine.bottom}), std::vector<int>({12, 27, 2, 17}));

  // A 2:1 rectangle in a 20 x 40 picture: the full width, 10 rows (half of
  // the 19-pixel span between the end pixels' centres), with 15 rows above
  // and below.
  run = render(WIDE_RECTANGLE, "wide.png", {"--size", "20x40", "--points", "300000"});
  ASSERT_EQ(run.code, 0) << run.errors;
  box = lit_box(decode_png(path("wide.png")));
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 19);
  EXPECT_EQ(box.top, 15);
  EXPECT_EQ(box.bottom, 24);
  EXPECT_TRUE(box.filled);
}

TEST_F(PosterTest, FlatPixelsTakeTheColourOfTheLastPointThatLandedThere) {
  // Both maps send every point to the origin; the very last point of the
  // render, in the last chunk, decides the pixel's colour whichever thread
  // played it.
  const std::int64_t points = 200001;
  const std::vector<ReferenceMap> maps = {{0, 0, 0, 0, 0, 0, 0.5f}, {0, 0, 0, 0, 0, 0, 0.5f}};
  for (const std::uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
    int last = -1;
    reference_points(maps, seed, points, [&](float, float, int map) { last = map; });
    const PosterRun run = render("0 0 0 0 0 0 0.5\n0 0 0 0 0 0 0.5\n", "flat.png",
                                  {"--size", "3x3", "--points", std::to_string(points), "--seed", std::to_string(seed),
                                   "--threads", std::to_string(seed % 3 + 2), "--palette", "#112233,#445566,#778899"});
    ASSERT_EQ(run.code, 0) << run.errors;
    const DecodedPng png = decode_png(path("flat.png"));
    ASSERT_TRUE(png.ok);
    EXPECT_EQ(pixel(png, 1, 1), last == 0 ? (Rgb{0x11, 0x22, 0x33}) : (Rgb{0x44, 0x55, 0x66})) << "seed " << seed;
    expect_only_lit(png, {{1, 1}}, BLACK);
  }
}

TEST_F(PosterTest, SameBytesForOneTwoAndFourThreads) {
  for (const std::string shade : {"density", "flat"}) {
    std::vector<Bytes> files;
    for (const std::string threads : {"1", "2", "4"}) {
      // One name for all: the picture's name is part of its Comment.
      const std::string name = shade + ".png";
      const PosterRun run = render(OVERLAPPING, name,
                                    {"--shade", shade, "--size", "64x48", "--supersample", "2", "--points", "3000000",
                                     "--threads", threads, "--depth", "16"});
      ASSERT_EQ(run.code, 0) << run.errors;
      files.push_back(read_file(path(name)));
    }
    EXPECT_EQ(files[0], files[1]) << shade;
    EXPECT_EQ(files[0], files[2]) << shade;
    const PosterRun other = render(OVERLAPPING, "other.png",
                                    {"--shade", shade, "--size", "64x48", "--supersample", "2", "--points", "3000000",
                                     "--depth", "16", "--seed", "1235"});
    ASSERT_EQ(other.code, 0) << other.errors;
    EXPECT_NE(read_file(path("other.png")), files[0]) << "the seed must matter";
  }
}

TEST_F(PosterTest, PngSaysHowItWasMadeAndBmpHoldsTheSamePixels) {
  const PosterRun run = render(FERN, "fern.png", {"--size", "30x20", "--shade", "density", "--seed", "77",
                                                   "--threads", "3", "--background", "102030"});
  ASSERT_EQ(run.code, 0) << run.errors;
  const DecodedPng png = decode_png(path("fern.png"));
  ASSERT_TRUE(png.ok);
  EXPECT_EQ(png.bit_depth, 8);
  EXPECT_EQ(png.colour_type, 2);
  ASSERT_EQ(png.texts.size(), 2u);
  EXPECT_EQ(png.texts[0], (std::pair<std::string, std::string>{"Software", std::string("ifs-render ") + IFS_RENDER_VERSION}));
  EXPECT_EQ(png.texts[1].first, "Comment");
  const std::string& comment = png.texts[1].second;
  for (const std::string& part : std::vector<std::string>{"--size 30x20 ", "--shade density ", "--seed 77 ", "--points 200010 ",
                                 "--background '#102030' "})
    EXPECT_NE(comment.find(part), std::string::npos) << part << " in " << comment;
  EXPECT_TRUE(comment.starts_with("ifs-render ")) << comment;
  EXPECT_TRUE(comment.ends_with(" -o fern.png table.ifs")) << "base names only: " << comment;
  EXPECT_EQ(comment.find("--gamma"), std::string::npos) << "defaults are left out: " << comment;
  EXPECT_EQ(comment.find("--threads"), std::string::npos) << "threads change nothing in the picture";

  ASSERT_EQ(render(FERN, "fern.bmp", {"--size", "30x20", "--shade", "density", "--seed", "77",
                                      "--background", "102030"}).code, 0);
  const Bytes bmp = read_file(path("fern.bmp"));
  ASSERT_EQ(bmp.size(), 54u + 92u * 20u);  // rows of 90 bytes padded to 92
  EXPECT_EQ(read_le16(bmp, 28), 24);
  for (std::uint32_t y = 0; y < 20; ++y) {
    for (std::uint32_t x = 0; x < 30; ++x) {
      const std::size_t at = 54 + (19 - y) * 92 + 3 * x;  // bottom line first, B G R
      ASSERT_EQ((Rgb{bmp[at + 2], bmp[at + 1], bmp[at]}), pixel(png, x, y)) << x << ", " << y;
    }
  }
}

}  // namespace
