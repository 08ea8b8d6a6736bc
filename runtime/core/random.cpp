#include "runtime/core/random.h"

#include "platform/win32/kernel32.h"

namespace {

constexpr std::uint32_t SEED_MULTIPLIER = 0x53A9B4FB;
constexpr int WARM_UP_STEPS = 31;

RandomGenerator generator;

std::uint32_t next_seed_word(std::uint32_t s) { return 1u - s * SEED_MULTIPLIER; }

// An unseeded generator starts from something that differs between runs.
void seed_lazily() {
  if (generator.seeded) return;
  generator.seeded = 1;
  random_state_seed(generator, GetCurrentThreadId() ^ GetTickCount());
}

}  // namespace

void random_state_seed(RandomGenerator& state, std::uint32_t seed) {
  std::uint32_t s = seed;
  for (int k = 0; k < RANDOM_TABLE_SIZE; ++k) {
    s = next_seed_word(s);
    state.B[k] = s;
    s = next_seed_word(s);
    state.A[k] = s;
  }
  state.i = 0;
  state.j = 10;
  state.seeded = 1;
  for (int step = 0; step < WARM_UP_STEPS; ++step) random_state_step(state);
}

const RandomGenerator& random_generator() { return generator; }

void random_seed(std::int32_t seed) {
  seed_lazily();
  random_state_seed(generator, static_cast<std::uint32_t>(seed));
}

std::int32_t random_next(std::int32_t max) {
  seed_lazily();
  const std::uint32_t value = random_state_step(generator);
  const std::uint32_t range = static_cast<std::uint32_t>(max) + 1u;
  if (range == 0) return static_cast<std::int32_t>(value);
  return static_cast<std::int32_t>((static_cast<std::uint64_t>(value) * range) >> 32);
}
