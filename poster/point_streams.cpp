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
  map_choices_compute(table, choices.map);
  for (int k = 0; k < IFS_CHOICE_COUNT; ++k)
    choices.slot[k] = choices.map[k] == IFS_NO_MAP ? 0 : static_cast<std::uint32_t>(choices.map[k]) % slots;
  return choices;
}
