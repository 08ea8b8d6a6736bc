#include "runtime/core/random.h"

#include "platform/win32/kernel32.h"

namespace {

constexpr std::uint32_t SEED_MULTIPLIER = 0x53A9B4FB;
constexpr int WARM_UP_STEPS = 31;

RandomGenerator generator;

std::uint32_t rotate_right(std::uint32_t value, int bits) { return (value >> bits) | (value << (32 - bits)); }

int previous_index(int index) { return index == 0 ? RANDOM_TABLE_SIZE - 1 : index - 1; }

std::uint32_t random_step() {
  const int i = generator.i;
  const int j = generator.j;
  const std::uint32_t new_a = rotate_right(generator.B[i], 13) + generator.B[j];
  const std::uint32_t new_b = rotate_right(generator.A[i], 5) + generator.A[j];
  generator.A[i] = new_a;
  generator.B[i] = new_b;
  generator.i = previous_index(i);
  generator.j = previous_index(j);
  return new_a;
}

std::uint32_t next_seed_word(std::uint32_t s) { return 1u - s * SEED_MULTIPLIER; }

void fill_tables(std::uint32_t seed) {
  std::uint32_t s = seed;
  for (int k = 0; k < RANDOM_TABLE_SIZE; ++k) {
    s = next_seed_word(s);
    generator.B[k] = s;
    s = next_seed_word(s);
    generator.A[k] = s;
  }
  generator.i = 0;
  generator.j = 10;
  for (int step = 0; step < WARM_UP_STEPS; ++step) random_step();
}

// An unseeded generator starts from something that differs between runs.
void seed_lazily() {
  if (generator.seeded) return;
  generator.seeded = 1;
  fill_tables(GetCurrentThreadId() ^ GetTickCount());
}

}  // namespace

const RandomGenerator& random_generator() { return generator; }

void random_seed(std::int32_t seed) {
  seed_lazily();
  fill_tables(static_cast<std::uint32_t>(seed));
}

std::int32_t random_next(std::int32_t max) {
  seed_lazily();
  const std::uint32_t value = random_step();
  const std::uint32_t range = static_cast<std::uint32_t>(max) + 1u;
  if (range == 0) return static_cast<std::int32_t>(value);
  return static_cast<std::int32_t>((static_cast<std::uint64_t>(value) * range) >> 32);
}
