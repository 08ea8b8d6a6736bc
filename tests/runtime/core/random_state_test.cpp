// A generator of the caller's own follows the process-wide generator's rule
// word for word and leaves the process-wide sequence alone.
#include <gtest/gtest.h>

#include "runtime/core/random.h"

TEST(RandomState, OwnGeneratorGivesTheSeededSequenceWithoutTouchingTheSharedOne) {
  random_seed(99);
  const std::int32_t shared_first = random_next(-1);
  random_seed(99);

  RandomGenerator own;
  random_state_seed(own, 1234);
  const std::uint32_t expected[] = {0x4559FEC6, 0xF7F0AC66, 0x34A801FF, 0xEC5C95FB, 0x01F7C448};
  for (const std::uint32_t word : expected) EXPECT_EQ(random_state_step(own), word);

  EXPECT_EQ(random_next(-1), shared_first);
}
