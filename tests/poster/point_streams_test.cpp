// The map choice made once per value of r must be the chaos game's own,
// whatever the weights: negative, zero, short of 1 or past it.
#include <gtest/gtest.h>

#include "app/chaos_game.h"
#include "poster/point_streams.h"

namespace {

IfsTable table_with_weights(const std::vector<float>& weights) {
  IfsTable table;
  EXPECT_TRUE(ifs_table_resize(table, static_cast<std::int32_t>(weights.size())));
  for (std::size_t m = 0; m < weights.size(); ++m) ifs_set(table, IFS_P, static_cast<std::int32_t>(m), weights[m]);
  return table;
}

TEST(ChoiceTable, ChoosesTheMapTheChaosGameChoosesForEveryR) {
  const std::vector<std::vector<float>> weight_sets = {
      {0.01f, 0.85f, 0.07f, 0.07f}, {0.3f, 0.2f}, {0.0f, 0.5f, 0.0f, 0.5f}, {0.6f, -0.4f, 0.5f, 0.3f},
      {-1.0f, 2.0f},                {0.0f},       {0.25f, 0.25f, 0.25f, 0.25f, 0.3f}, {0.123f, 0.456f, 0.421f},
  };
  for (const std::vector<float>& weights : weight_sets) {
    const IfsTable table = table_with_weights(weights);
    const ChoiceTable choices = choice_table_make(table, 3);
    for (int k = 0; k < IFS_CHOICE_COUNT; ++k) {
      const float r = static_cast<float>(static_cast<double>(k) / 100.0);
      const std::int32_t map = chaos_choose_map(table, r);
      EXPECT_EQ(choices.map[k], map) << "r = " << r << " with " << weights.size() << " maps";
      EXPECT_EQ(choices.slot[k], map < 0 ? 0u : static_cast<std::uint32_t>(map) % 3);
    }
  }
}

TEST(PointStreams, EachStreamHasItsOwnSequence) {
  RandomGenerator a, b, again;
  stream_start(a, 1234, 0);
  stream_start(b, 1234, 1);
  stream_start(again, 1234, 0);
  int same_as_next_stream = 0;
  for (int k = 0; k < 100; ++k) {
    const std::uint32_t word = random_state_step(a);
    same_as_next_stream += word == random_state_step(b);
    EXPECT_EQ(word, random_state_step(again));
  }
  EXPECT_LT(same_as_next_stream, 3);
  EXPECT_NE(stream_seed(1234, 0), stream_seed(1235, 0));
}

}  // namespace
