// 3-D tables in the poster renderer, checked against the points an
// independent chaos game in space gives: the counts per sample, the flat
// picture of a turned table through a view, and the attractor's fit.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/ifs_table.h"
#include "app/space_maps.h"
#include "poster/accumulation.h"
#include "poster_run.h"
#include "reference_streams.h"

namespace {

using Arguments = std::vector<std::string>;

// Four maps, the last sheared, so that the attractor looks different from
// every side: x reaches 2, y about 1 and z above 1.
const std::vector<ReferenceSpaceMap> TOWER_MAPS = {
    {{.5f, 0, 0, 0, .5f, 0, 0, 0, .5f, 0, 0, 0}, .25f},
    {{.5f, 0, 0, 0, .5f, 0, 0, 0, .5f, 1, 0, 0}, .25f},
    {{.5f, 0, 0, 0, .5f, 0, 0, 0, .5f, 0, .5f, 0}, .25f},
    {{.5f, .1f, 0, 0, .5f, 0, .2f, 0, .4f, 0, 0, .3f}, .25f},
};
const std::string TOWER_LIBRARY = "flat {\n0.5 0 0 0.5 0 0 1\n}\n"
                                  "tower (3D) {\n"
                                  ".5 0 0 0 .5 0 0 0 .5 0 0 0 .25\n"
                                  ".5 0 0 0 .5 0 0 0 .5 1 0 0 .25\n"
                                  ".5 0 0 0 .5 0 0 0 .5 0 .5 0 .25\n"
                                  ".5 .1 0 0 .5 0 .2 0 .4 0 0 .3 .25\n"
                                  "}\n";
// Yaw 90 then pitch 90: the picture's x is the table's z and its y the
// table's x (a quarter turn about y brings z to x, one about x then brings
// x to y).
const Arguments QUARTER_TURNS = {"--rotate", "90,90,0"};

struct Counter {
  std::int64_t width, height;
  double scale_x, offset_x, scale_y, offset_y;

  // The sample of a point seen at (x, y), or -1 off the canvas.
  std::int64_t sample(float x, float y) const {
    const double column = static_cast<double>(x) * scale_x + offset_x;
    const double row = static_cast<double>(y) * scale_y + offset_y;
    if (!(column >= 0 && column < static_cast<double>(width) && row >= 0 && row < static_cast<double>(height)))
      return -1;
    return static_cast<std::int64_t>(row) * width + static_cast<std::int64_t>(column);
  }
};

TEST(PosterSpace, CountsAreThoseOfTheTurnedPointsOfAnIndependentChaosGame) {
  const Counter counter{50, 60, 40.0, 5.0, -25.0, 55.0};
  const std::int64_t points = 300000;  // five chunks, on two threads
  std::vector<std::uint32_t> expected(static_cast<std::size_t>(counter.width * counter.height));
  reference_space_points(TOWER_MAPS, 77, points, [&](float x, float, float z, int) {
    if (const std::int64_t at = counter.sample(z, x); at >= 0) ++expected[static_cast<std::size_t>(at)];
  });

  IfsTable table;
  ASSERT_TRUE(ifs_table_resize(table, static_cast<std::int32_t>(TOWER_MAPS.size())));
  SpaceMaps space;
  space.active = true;
  for (std::size_t map = 0; map < TOWER_MAPS.size(); ++map) {
    ifs_set(table, IFS_P, static_cast<std::int32_t>(map), TOWER_MAPS[map].p);
    space.values.insert(space.values.end(), std::begin(TOWER_MAPS[map].m), std::end(TOWER_MAPS[map].m));
  }
  space.turn = space_turn_from_degrees(90, 90, 0);
  space.turned = true;
  AccumulationJob job;
  job.table = &table;
  job.space = &space;
  job.seed = 77;
  job.points = points;
  job.canvas = SampleCanvas{counter.width, counter.height, 1, SHADE_DENSITY};
  job.transform = SampleTransform{counter.scale_x, counter.offset_x, counter.scale_y, counter.offset_y};
  job.threads = 2;
  SampleBuffer samples;
  ASSERT_TRUE(accumulate(job, samples));
  std::int64_t counted = 0, differing = 0;
  for (std::size_t at = 0; at < expected.size(); ++at) {
    counted += samples.counts[at];
    differing += samples.counts[at] != expected[at];
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(counted, points / 2) << "most points land on the canvas";
}

class PosterSpacePicture : public PosterTest {};

TEST_F(PosterSpacePicture, FlatPixelsThroughAViewAreThoseOfTheLastTurnedPoint) {
  // --size 50x60 --view 0,-0.25,1,2.25: the height is the tight side, 24
  // pixels a unit, centred across: column = 13 + 24 x, row = 54 - 24 y.
  const Counter counter{50, 60, 24.0, 13.0, -24.0, 54.0};
  const std::int64_t points = 200000;
  const std::vector<Rgb> colours = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}};
  std::vector<int> last(static_cast<std::size_t>(counter.width * counter.height), -1);
  reference_space_points(TOWER_MAPS, 1234, points, [&](float x, float, float z, int map) {
    if (const std::int64_t at = counter.sample(z, x); at >= 0) last[static_cast<std::size_t>(at)] = map;
  });
  Arguments options = {"--name", "tower", "--size", "50x60", "--view", "0,-0.25,1,2.25", "--points",
                       std::to_string(points), "--threads", "3", "--palette", "#FF0000,#00FF00,#0000FF,#FFFF00"};
  options.insert(options.end(), QUARTER_TURNS.begin(), QUARTER_TURNS.end());
  const PosterRun run = render(TOWER_LIBRARY, "tower.png", options);
  ASSERT_EQ(run.code, 0) << run.errors;
  const DecodedPng png = decode_png(path("tower.png"));
  ASSERT_TRUE(png.ok);
  ASSERT_EQ(png.width, 50u);
  ASSERT_EQ(png.height, 60u);
  int lit = 0;
  for (std::uint32_t y = 0; y < png.height; ++y) {
    for (std::uint32_t x = 0; x < png.width; ++x) {
      const int map = last[y * png.width + x];
      lit += map >= 0;
      const Rgb expected = map < 0 ? Rgb{0, 0, 0} : colours[static_cast<std::size_t>(map)];
      ASSERT_EQ(pixel(png, x, y), expected)
          << "at " << x << ", " << y;
    }
  }
  EXPECT_GT(lit, 200);
}

// The lit pixels' box.
struct Extent {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
  bool operator==(const Extent&) const = default;
};

Extent lit_extent(const DecodedPng& png) {
  Extent extent;
  for (std::uint32_t y = 0; y < png.height; ++y) {
    for (std::uint32_t x = 0; x < png.width; ++x) {
      if (pixel(png, x, y) == Rgb{0, 0, 0}) continue;
      extent = {std::min(extent.left, static_cast<int>(x)), std::min(extent.top, static_cast<int>(y)),
                std::max(extent.right, static_cast<int>(x)), std::max(extent.bottom, static_cast<int>(y))};
    }
  }
  return extent;
}

TEST_F(PosterSpacePicture, TheFitMeasuresTheTurnedAttractor) {
  // Half-size copies towards (0, 0, 0), (2, 0, 0), (0, 1, 0) and (0, 0, 0.5):
  // a tetrahedron. In 11 x 40 the end pixels' centres are 10 and 39 apart.
  // Seen as (z, x) it spans 0.5 x 2: 19.5 pixels a unit, column = 0.625 +
  // 19.5 z, row = 39.5 - 19.5 x. Seen unturned, as (x, y), it spans 2 x 1:
  // 5 a unit, column = 0.5 + 5 x, row = 22.5 - 5 y.
  const std::string tetrahedron = "t (3D) {\n"
                                  ".5 0 0 0 .5 0 0 0 .5 0 0 0 .25\n"
                                  ".5 0 0 0 .5 0 0 0 .5 1 0 0 .25\n"
                                  ".5 0 0 0 .5 0 0 0 .5 0 .5 0 .25\n"
                                  ".5 0 0 0 .5 0 0 0 .5 0 0 .25 .25\n"
                                  "}\n";
  Arguments options = {"--size", "11x40", "--points", "300000"};
  PosterRun run = render(tetrahedron, "plain.png", options);
  ASSERT_EQ(run.code, 0) << run.errors;
  EXPECT_EQ(lit_extent(decode_png(path("plain.png"))), (Extent{0, 17, 10, 22}));
  options.insert(options.end(), QUARTER_TURNS.begin(), QUARTER_TURNS.end());
  run = render(tetrahedron, "turned.png", options);
  ASSERT_EQ(run.code, 0) << run.errors;
  EXPECT_EQ(lit_extent(decode_png(path("turned.png"))), (Extent{0, 0, 10, 39}));
}

}  // namespace
