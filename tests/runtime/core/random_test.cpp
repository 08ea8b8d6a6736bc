#include "runtime/core/random.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::vector<std::int32_t> draw(std::int32_t max, int count) {
  std::vector<std::int32_t> numbers;
  for (int k = 0; k < count; ++k) numbers.push_back(random_next(max));
  return numbers;
}

TEST(Random, SeedingWith1234GivesTheKnownState) {
  random_seed(1234);
  const RandomGenerator& generator = random_generator();
  EXPECT_EQ(generator.i, 3);
  EXPECT_EQ(generator.j, 13);
  EXPECT_EQ(generator.A[0], 0xE93C446Au);
  EXPECT_EQ(generator.B[0], 0x57F23422u);
  EXPECT_EQ(generator.A[16], 0x2858D43Cu);
  EXPECT_EQ(generator.B[16], 0x26FBB6B8u);
  EXPECT_EQ(generator.seeded, 1);
}

TEST(Random, KnownSequencesAfterSeeding) {
  random_seed(1234);
  EXPECT_EQ(draw(100, 10), (std::vector<std::int32_t>{27, 97, 20, 93, 0, 39, 64, 56, 15, 4}));

  random_seed(1234);
  const std::vector<std::int32_t> raw = draw(-1, 5);
  const std::vector<std::uint32_t> expected = {0x4559FEC6, 0xF7F0AC66, 0x34A801FF, 0xEC5C95FB, 0x01F7C448};
  ASSERT_EQ(raw.size(), expected.size());
  for (std::size_t k = 0; k < raw.size(); ++k) EXPECT_EQ(static_cast<std::uint32_t>(raw[k]), expected[k]) << k;
}

// A bounded result is the high word of the raw word times (max + 1).
TEST(Random, BoundedResultsScaleTheRawWord) {
  random_seed(1234);
  const std::vector<std::int32_t> raw = draw(-1, 5);
  const std::int32_t bounds[] = {100, 0, 1, 0x7FFFFFFF, -2};
  random_seed(1234);
  for (int k = 0; k < 5; ++k) {
    const std::uint64_t range = static_cast<std::uint32_t>(bounds[k]) + std::uint64_t{1};
    const std::uint64_t expected = (static_cast<std::uint32_t>(raw[k]) * range) >> 32;
    EXPECT_EQ(static_cast<std::uint32_t>(random_next(bounds[k])), expected) << "max " << bounds[k];
  }
}

TEST(Random, ResultsStayWithinTheirRange) {
  random_seed(99);
  std::vector<int> seen(101, 0);
  for (int k = 0; k < 20000; ++k) {
    const std::int32_t number = random_next(100);
    ASSERT_GE(number, 0);
    ASSERT_LE(number, 100);
    ++seen[number];
  }
  for (int value = 0; value <= 100; ++value) EXPECT_GT(seen[value], 0) << value;
  for (int k = 0; k < 1000; ++k) ASSERT_EQ(random_next(0), 0);
}

TEST(Random, ReseedingRestartsTheSequence) {
  random_seed(1234);
  const std::vector<std::int32_t> first = draw(100, 50);
  random_seed(1234);
  EXPECT_EQ(draw(100, 50), first);
  random_seed(1235);
  EXPECT_NE(draw(100, 50), first);
}

// A fresh process has an untouched generator: the "threadsafe" style runs the
// body in a newly started copy of this program.
TEST(RandomDeathTest, FreshGeneratorSeedsItselfOnFirstUse) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto first_use_seeds = [] {
    const bool untouched = random_generator().seeded == 0 && random_generator().A[0] == 0;
    const std::int32_t number = random_next(100);
    std::exit(untouched && random_generator().seeded == 1 && number >= 0 && number <= 100 ? 0 : 1);
  };
  EXPECT_EXIT(first_use_seeds(), ::testing::ExitedWithCode(0), "");

  const auto explicit_seed_first = [] {
    random_seed(1234);
    std::exit(random_generator().A[0] == 0xE93C446Au && random_next(100) == 27 ? 0 : 1);
  };
  EXPECT_EXIT(explicit_seed_first(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
