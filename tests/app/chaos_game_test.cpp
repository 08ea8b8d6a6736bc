#include "app/chaos_game.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>
#include <vector>

#include "runtime/core/random.h"
#include "support/ifs_tables.h"

namespace {

// A table without extent is drawn at scale 1 with the origin in the middle of the canvas.
void expect_unit_scale_mid_canvas() {
  const RenderState& render = app_state().render;
  EXPECT_EQ(render.scale_x, 1.0f);
  EXPECT_EQ(render.scale_y, 1.0f);
  EXPECT_EQ(render.offset_x, 300.0f);
  EXPECT_EQ(render.offset_y, 300.0f);
}

float fraction(int hundredths) { return static_cast<float>(hundredths / 100.0); }

std::vector<int> maps_chosen_for_every_r(const IfsTable& table) {
  std::vector<int> chosen;
  for (int k = 0; k <= 100; ++k) chosen.push_back(chaos_choose_map(table, fraction(k)));
  return chosen;
}

TEST(ChaosGame, StartUpMeasurementChoosesTheKnownFirstMaps) {
  app_state_reset();
  random_seed(1234);
  std::vector<int> chosen;
  for (int step = 0; step < 10; ++step) chosen.push_back(chaos_step());
  EXPECT_EQ(chosen, (std::vector<int>{1, 2, 1, 2, 0, 1, 1, 1, 0, 0}));
}

TEST(ChaosGame, BuiltInWeightsSplitTheHundredthsSeventeenSixtyTwentyFour) {
  app_state_reset();
  const IfsTable& table = app_state().table;
  // Single-precision running sums: the last one is exactly 1.
  const float sum0 = ifs_get(table, IFS_P, 0);
  const float sum1 = sum0 + ifs_get(table, IFS_P, 1);
  const float sum2 = sum1 + ifs_get(table, IFS_P, 2);
  EXPECT_FLOAT_EQ(sum0, 0.163f);
  EXPECT_FLOAT_EQ(sum1, 0.763f);
  EXPECT_EQ(sum2, 1.0f);

  const std::vector<int> chosen = maps_chosen_for_every_r(table);
  for (int k = 0; k <= 16; ++k) EXPECT_EQ(chosen[k], 0) << k;
  for (int k = 17; k <= 76; ++k) EXPECT_EQ(chosen[k], 1) << k;
  for (int k = 77; k <= 100; ++k) EXPECT_EQ(chosen[k], 2) << k;
  EXPECT_EQ(chaos_choose_map(table, 1.0f), 2);
}

TEST(ChaosGame, StartUpMeasurementFitsTheBuiltInAttractor) {
  app_state_reset();
  random_seed(1234);
  const BoundsBox box = measure_attractor();
  EXPECT_NEAR(box.min_x, -1.056, 0.001);
  EXPECT_NEAR(box.max_x, 0.198, 0.001);
  EXPECT_NEAR(box.min_y, -0.453, 0.001);
  EXPECT_NEAR(box.max_y, 1.000, 0.001);
  const BoundsBox square = square_box(box);
  EXPECT_NEAR(square.min_x, -1.156, 0.001);
  EXPECT_NEAR(square.max_x, 0.297, 0.001);
  EXPECT_EQ(square.min_y, box.min_y);
  EXPECT_EQ(square.max_y, box.max_y);

  app_state_reset();
  random_seed(1234);
  measure_bounds();
  const RenderState& render = app_state().render;
  EXPECT_NEAR(render.scale_x, 413.0, 0.05);
  EXPECT_NEAR(render.scale_y, -413.0, 0.05);
  EXPECT_NEAR(render.offset_x, 477.2, 0.05);
  EXPECT_NEAR(render.offset_y, 413.0, 0.05);
}

TEST(ChaosGame, MeasurementIsReproducibleAndConsumes10102Numbers) {
  app_state_reset();
  random_seed(1234);
  measure_bounds();
  const RenderState first = app_state().render;
  const std::int32_t next_after_first = random_next(-1);

  app_state_reset();
  random_seed(1234);
  measure_bounds();
  const RenderState& second = app_state().render;
  EXPECT_EQ(std::bit_cast<std::uint32_t>(second.scale_x), std::bit_cast<std::uint32_t>(first.scale_x));
  EXPECT_EQ(std::bit_cast<std::uint32_t>(second.offset_y), std::bit_cast<std::uint32_t>(first.offset_y));
  EXPECT_EQ(second.x, first.x);
  EXPECT_EQ(second.y, first.y);

  random_seed(1234);
  for (int k = 0; k < 10102; ++k) random_next(100);
  EXPECT_EQ(random_next(-1), next_after_first);
}

TEST(ChaosGame, TablesFixingTheOriginPutEveryPointMidCanvas) {
  for (float weight : {0.0f, 1.0f / 3.0f}) {
    use_maps({{0, 0, 0, 0, 0, 0, weight}, {0, 0, 0, 0, 0, 0, weight}, {0, 0, 0, 0, 0, 0, weight}});
    random_seed(1234);
    measure_bounds();
    expect_unit_scale_mid_canvas();
  }
}

TEST(ChaosGame, StepsBeyondTheWeightSumLeaveThePointAndReportMapZero) {
  // Weights 0.25 + 0.25: r above 0.5 reaches no map.
  use_maps({{0.5f, 0, 0, 0.5f, 1, 0, 0.25f}, {0.5f, 0, 0, 0.5f, 0, 1, 0.25f}});
  random_seed(77);
  std::vector<int> hundredths;
  for (int k = 0; k < 500; ++k) hundredths.push_back(random_next(100));

  random_seed(77);
  RenderState& render = app_state().render;
  int unmoved = 0;
  for (int k : hundredths) {
    const float x = render.x, y = render.y;
    const int map = chaos_step();
    if (k > 50) {
      ++unmoved;
      EXPECT_EQ(map, 0);
      EXPECT_EQ(render.x, x);
      EXPECT_EQ(render.y, y);
    } else {
      EXPECT_EQ(map, k <= 25 ? 0 : 1);
      EXPECT_EQ(render.x, static_cast<float>(0.5 * x + (map == 0 ? 1 : 0)));
      EXPECT_EQ(render.y, static_cast<float>(0.5 * y + (map == 1 ? 1 : 0)));
    }
  }
  EXPECT_GT(unmoved, 100);
}

TEST(ChaosGame, WeightZeroMapsAreNeverChosenExceptMapZeroAtRZero) {
  use_maps({{0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0}});
  std::vector<int> chosen = maps_chosen_for_every_r(app_state().table);
  EXPECT_EQ(chosen[0], 0);
  for (int k = 1; k <= 100; ++k) EXPECT_EQ(chosen[k], 1) << k;

  use_maps({{0, 0, 0, 0, 0, 0, 0.5f}, {0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0.5f}});
  chosen = maps_chosen_for_every_r(app_state().table);
  for (int k = 0; k <= 50; ++k) EXPECT_EQ(chosen[k], 0) << k;
  for (int k = 51; k <= 100; ++k) EXPECT_EQ(chosen[k], 2) << k;
}

TEST(ChaosGame, AStepMovesBothCoordinatesFromTheOldPointInDoublePrecision) {
  // One map of weight 1, so that every step takes it. Swap x and y: y' must use the old x.
  use_maps({{0.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f}});
  RenderState& render = app_state().render;
  render.x = 1.0f;
  render.y = 2.0f;
  EXPECT_EQ(chaos_step(), 0);
  EXPECT_EQ(render.x, 2.0f);
  EXPECT_EQ(render.y, 1.0f);

  // x' = x + y + 1: 2^24 + 1 + 1 is exact in double; adding in single
  // precision would lose each 1 to rounding and give 2^24.
  use_maps({{1.0f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f}});
  render.x = 16777216.0f;
  render.y = 1.0f;
  chaos_step();
  EXPECT_EQ(render.x, 16777218.0f);
}

TEST(ChaosGame, SquaringKeepsTheLongerSideAndCentresTheShorter) {
  const BoundsBox wide = square_box({-2.0f, 2.0f, 0.0f, 1.0f});
  EXPECT_EQ(wide.min_x, -2.0f);
  EXPECT_EQ(wide.max_x, 2.0f);
  EXPECT_EQ(wide.min_y, -1.5f);
  EXPECT_EQ(wide.max_y, 2.5f);

  const BoundsBox tall = square_box({0.0f, 1.0f, -3.0f, 1.0f});
  EXPECT_EQ(tall.min_x, -1.5f);
  EXPECT_EQ(tall.max_x, 2.5f);
  EXPECT_EQ(tall.min_y, -3.0f);
  EXPECT_EQ(tall.max_y, 1.0f);

  const BoundsBox square = square_box({0.0f, 1.0f, 0.0f, 1.0f});
  EXPECT_EQ(square.min_y, 0.0f);
  EXPECT_EQ(square.max_y, 1.0f);
}

TEST(ChaosGame, ViewTransformPutsTheBoxCornersOnTheCanvasCorners) {
  RenderState render;
  const BoundsBox box = {-1.25f, 0.75f, -0.5f, 1.5f};
  view_transform_fit(render, box);
  const auto column = [&](double x) { return render.scale_x * x + render.offset_x; };
  const auto row = [&](double y) { return render.scale_y * y + render.offset_y; };
  EXPECT_NEAR(column(box.min_x), 0.0, 1e-4);
  EXPECT_NEAR(column(box.max_x), 600.0, 1e-4);
  EXPECT_NEAR(row(box.max_y), 0.0, 1e-4);
  EXPECT_NEAR(row(box.min_y), 600.0, 1e-4);
  EXPECT_LT(render.scale_y, 0.0f) << "larger y goes up the screen";
}

// NaN weights reach no r; infinite coefficients turn the point into NaN,
// which no comparison lets into the box: both leave the view at mid-canvas.
TEST(ChaosGame, NonNumericTablesGiveTheMidCanvasView) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<std::vector<std::vector<float>>> tables = {
      {{nan, 0, 0, 1, 0, 0, nan}, {1, 0, 0, 1, 1, 1, 1}},
      {{inf, 0, 0, inf, 0, 0, 1}},
  };
  for (const auto& maps : tables) {
    use_maps(maps);
    random_seed(1234);
    measure_bounds();
    expect_unit_scale_mid_canvas();
  }
  use_maps(tables[0]);
  EXPECT_EQ(chaos_choose_map(app_state().table, 0.5f), -1);
}

}  // namespace
