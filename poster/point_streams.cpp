#include "poster/point_streams.h"

namespace {

std::uint64_t splitmix64(std::uint64_t value) {
  value += 0x9E3779B97F4A7C15ull;
  value = (value ^ (value >> 30)) * 0xBF58476D1CE4E5B9ull;
  value = (value ^ (value >> 27)) * 0x94D049BB133111EBull;
  return value ^ (value >> 31);
}

}  // namespace

std::uint32_t stream_seed(std::uint32_t seed, std::uint32_t stream) {
  return static_cast<std::uint32_t>(splitmix64((std::uint64_t{seed} << 32) | stream));
}

void stream_start(RandomGenerator& generator, std::uint32_t seed, std::uint32_t stream) {
  random_state_seed(generator, stream_seed(seed, stream));
}

ChoiceTable choice_table_make(const IfsTable& table, std::uint32_t slots) {
  if (slots == 0) slots = 1;
  ChoiceTable choices;
  for (int k = 0; k < CHOICE_COUNT; ++k) {
    choices.map[k] = -1;
    choices.slot[k] = 0;
  }
  // Every r a running sum reaches is taken by the first map that reaches it,
  // so the values still open are always those above the highest sum so far.
  int open = 0;
  float sum = 0.0f;
  for (std::int32_t map = 0; map <= table.last_map && open < CHOICE_COUNT; ++map) {
    sum = static_cast<float>(static_cast<double>(sum) + ifs_get(table, IFS_P, map));
    for (; open < CHOICE_COUNT && sum >= static_cast<float>(static_cast<double>(open) / 100.0); ++open) {
      choices.map[open] = map;
      choices.slot[open] = static_cast<std::uint32_t>(map) % slots;
    }
  }
  return choices;
}

MapRows map_rows(const IfsTable& table) {
  const float* values = table.values.get();
  const std::int64_t n = table.map_count;
  return {values, values + n, values + 2 * n, values + 3 * n, values + 4 * n, values + 5 * n};
}
