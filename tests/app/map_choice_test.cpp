// The 101-entry map choice against the plain scan over the weights, on tables
// made to break it: zero, negative, NaN, infinite and huge weights, sums that
// fall and rise again, thousands of maps.
#include "app/map_choice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "app/app_state.h"
#include "app/chaos_game.h"
#include "runtime/core/random.h"
#include "support/ifs_tables.h"

namespace {

constexpr float NAN_WEIGHT = std::numeric_limits<float>::quiet_NaN();
constexpr float INF_WEIGHT = std::numeric_limits<float>::infinity();

// Weights a hostile file may hold, and ones that land sums on the hundredths.
const std::vector<float> HOSTILE_WEIGHTS = {
    0.0f,  -0.0f, 0.01f, 0.05f, 0.1f,  0.25f, 1.0f / 3.0f, -0.1f, -0.5f, 1.0f,
    2.0f,  0.5f,  NAN_WEIGHT, INF_WEIGHT, -INF_WEIGHT, 1e30f, -1e30f, std::numeric_limits<float>::max(),
    std::numeric_limits<float>::denorm_min(), 0.17f, 0.77f, 1.0f / 4096.0f,
};

void use_weights(const std::vector<float>& weights) {
  std::vector<std::vector<float>> maps;
  for (float weight : weights) maps.push_back({0.5f, 0.0f, 0.0f, 0.5f, 0.0f, 0.0f, weight});
  use_maps(maps);
}

// Where the table and the plain scan disagree, as "k: table -> scan" texts.
std::vector<std::string> disagreements(IfsTable& table) {
  std::vector<std::string> found;
  const std::int32_t* choices = map_choices(table);
  for (std::int32_t k = 0; k < IFS_CHOICE_COUNT; ++k) {
    const std::int32_t scanned = chaos_choose_map(table, map_choice_fraction(k));
    if (choices[k] != scanned)
      found.push_back(std::to_string(k) + ": " + std::to_string(choices[k]) + " -> " + std::to_string(scanned));
  }
  return found;
}

// A small generator of its own, so that the tables do not depend on the program's.
struct TableDice {
  std::uint32_t state;
  std::uint32_t next(std::uint32_t below) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % below;
  }
};

TEST(MapChoice, EveryHundredthChoosesWhatThePlainScanChoosesOnHostileTables) {
  TableDice dice{20261207u};
  for (int table_number = 0; table_number < 3000; ++table_number) {
    std::vector<float> weights(1 + dice.next(24));
    for (float& weight : weights) weight = HOSTILE_WEIGHTS[dice.next(static_cast<std::uint32_t>(HOSTILE_WEIGHTS.size()))];
    use_weights(weights);
    if (::testing::Test::HasFatalFailure()) return;
    EXPECT_EQ(disagreements(app_state().table), std::vector<std::string>{}) << "table " << table_number;
  }
}

TEST(MapChoice, ThousandsOfMapsAndSumsThatFallBackBelowReachedValues) {
  // 4096 equal weights add up to exactly 1 in float: every map takes its share.
  use_weights(std::vector<float>(4096, 1.0f / 4096.0f));
  EXPECT_EQ(disagreements(app_state().table), std::vector<std::string>{});
  EXPECT_EQ(map_choices(app_state().table)[100], 4095);

  // Up to 0.7, down below zero, up past 1: the values first reached early keep their early map.
  std::vector<float> weights(5000, 0.0001f);
  weights[1000] = 0.5f;
  weights[2000] = -1.0f;
  weights[4999] = 1.5f;
  use_weights(weights);
  EXPECT_EQ(disagreements(app_state().table), std::vector<std::string>{});
  EXPECT_EQ(map_choices(app_state().table)[50], 1000);
  EXPECT_EQ(map_choices(app_state().table)[100], 4999);

  // A NaN sum reaches nothing, and every sum after it is NaN.
  use_weights({0.2f, NAN_WEIGHT, 1.0f, 1.0f});
  EXPECT_EQ(disagreements(app_state().table), std::vector<std::string>{});
  EXPECT_EQ(map_choices(app_state().table)[20], 0);
  EXPECT_EQ(map_choices(app_state().table)[21], IFS_NO_MAP);

  // All zero: only r = 0.00 is reached, by map 0.
  use_weights(std::vector<float>(3000, 0.0f));
  EXPECT_EQ(map_choices(app_state().table)[0], 0);
  EXPECT_EQ(map_choices(app_state().table)[1], IFS_NO_MAP);
  EXPECT_EQ(disagreements(app_state().table), std::vector<std::string>{});
}

TEST(MapChoice, ChangedWeightsAndMapCountsAreChosenByFromTheNextStepOn) {
  use_weights({1.0f, 1.0f});
  IfsTable& table = app_state().table;
  random_seed(1234);
  EXPECT_EQ(chaos_step(), 0);

  ifs_set(table, IFS_P, 0, 0.0f);
  EXPECT_EQ(map_choices(table)[1], 1);
  ifs_set(table, IFS_P, 1, 0.0f);
  EXPECT_EQ(map_choices(table)[1], IFS_NO_MAP);
  // A coefficient is not a weight: the choices stay what they are.
  ifs_set(table, IFS_A, 1, 0.25f);
  EXPECT_EQ(map_choices(table)[1], IFS_NO_MAP);

  ASSERT_TRUE(ifs_table_resize(table, 3));
  ifs_set(table, IFS_P, 2, 1.0f);
  EXPECT_EQ(map_choices(table)[100], 2);
  ASSERT_TRUE(ifs_table_resize(table, 2));
  EXPECT_EQ(map_choices(table)[100], IFS_NO_MAP) << "map 2 is gone";

  // Steps use the new weights at once: the same maps as the plain scan draws
  // with the same random numbers.
  ifs_set(table, IFS_P, 0, 0.3f);
  ifs_set(table, IFS_P, 1, 0.6f);
  std::vector<std::int32_t> stepped, scanned;
  random_seed(99);
  for (int step = 0; step < 200; ++step) stepped.push_back(chaos_step());
  random_seed(99);
  for (int step = 0; step < 200; ++step) {
    const std::int32_t map = chaos_choose_map(table, map_choice_fraction(random_next(100)));
    scanned.push_back(map == IFS_NO_MAP ? 0 : map);
  }
  EXPECT_EQ(stepped, scanned);
}

}  // namespace
