// The chaos game split into independent streams, so that a render gives the
// same points whatever the number of threads: the points are cut into fixed
// chunks, and each chunk plays from the origin with a generator of its own,
// seeded from the render's seed and the chunk's number.
#pragma once

#include <cstdint>

#include "app/chaos_game.h"
#include "app/ifs_table.h"
#include "runtime/core/random.h"

inline constexpr std::int64_t CHUNK_POINTS = 65536;
// Steps a chunk takes from the origin before it plots: the point is then on
// the attractor to well below a sample's width.
inline constexpr int CHUNK_WARM_UP_STEPS = 100;
// The stream that measures the attractor; chunk numbers never reach it.
inline constexpr std::uint32_t MEASURE_STREAM = 0xFFFFFFFFu;

// The 32-bit seed of one stream: splitmix64 of seed·2^32 + stream, low word.
std::uint32_t stream_seed(std::uint32_t seed, std::uint32_t stream);
void stream_start(RandomGenerator& generator, std::uint32_t seed, std::uint32_t stream);

// The map for each value of r, as the desktop program's chaos game chooses
// it (app/map_choice.h), and the colour slot a point moved by it is counted in.
struct ChoiceTable {
  MapChoices map;                       // IFS_NO_MAP: the weights fall short, the point stays
  std::uint32_t slot[IFS_CHOICE_COUNT];  // map modulo the slot count; 0 when no map
};

// `slots` colours share the maps round-robin (at least 1).
ChoiceTable choice_table_make(const IfsTable& table, std::uint32_t slots);

struct StreamPoint {
  float x = 0.0f;
  float y = 0.0f;
};

// One step, the map moving the point as in the desktop program's chaos game.
// The slot the new point is counted in.
inline std::uint32_t stream_step(RandomGenerator& generator, const ChoiceTable& choices, const MapRows& maps,
                                 StreamPoint& point) {
  const std::uint64_t word = random_state_step(generator);
  const auto r = static_cast<std::uint32_t>((word * IFS_CHOICE_COUNT) >> 32);
  const std::int32_t map = choices.map[r];
  if (map != IFS_NO_MAP) chaos_move(maps, map, point.x, point.y);
  return choices.slot[r];
}
