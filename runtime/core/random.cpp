#include "runtime/core/random.h"

#include "platform/win32/kernel32.h"

RandomGenerator random_state;

namespace {

constexpr std::uint32_t SEED_MULTIPLIER = 0x53A9B4FB;
constexpr int WARM_UP_STEPS = 31;

std::uint32_t next_seed_word(std::uint32_t s) { return 1u - s * SEED_MULTIPLIER; }

}  // namespace

// An unseeded generator starts from something that differs between runs.
void random_seed_lazily() {
  if (random_state.seeded) return;
  random_state_seed(random_state, GetCurrentThreadId() ^ GetTickCount());
}

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

const RandomGenerator& random_generator() { return random_state; }

void random_seed(std::int32_t seed) {
  random_seed_lazily();
  random_state_seed(random_state, static_cast<std::uint32_t>(seed));
}
