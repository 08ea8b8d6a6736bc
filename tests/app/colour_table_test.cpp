#include "app/colour_table.h"

#include <gtest/gtest.h>

namespace {

TEST(ColourTable, PastelColoursByMapIndexModuloEight) {
  const std::uint32_t expected[COLOUR_COUNT] = {0xFFFFFF, 0xFFBEFF, 0xBEFFFF, 0xFFFFBE,
                                                0xBEBEFF, 0xBEFFBE, 0xFFBEBE, 0xFFD2BE};
  for (int index = 0; index < COLOUR_COUNT; ++index) {
    EXPECT_EQ(colour_for_map(INITIAL_COLOURS, index), expected[index]) << index;
    EXPECT_EQ(colour_for_map(INITIAL_COLOURS, index + 8), expected[index]) << index + 8;
    EXPECT_EQ(colour_for_map(INITIAL_COLOURS, index + 800), expected[index]) << index + 800;
  }
  // Red sits in the low byte.
  EXPECT_EQ(colour_from_components(0x12, 0x34, 0x56), 0x563412u);
}

}  // namespace
