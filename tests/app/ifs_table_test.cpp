#include "app/ifs_table.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

namespace {

float bits(std::uint32_t pattern) { return std::bit_cast<float>(pattern); }

// Fills parameter k of map i with a value that names both.
void fill_with_positions(IfsTable& table) {
  for (std::int32_t map = 0; map < table.map_count; ++map)
    for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter)
      ifs_set(table, parameter, map, static_cast<float>(10 * parameter + map + 1));
}

TEST(IfsTable, BuiltInTableHoldsTheExactBitPatterns) {
  IfsTable table;
  ASSERT_TRUE(ifs_table_load_builtin(table));
  EXPECT_EQ(table.map_count, 3);
  EXPECT_EQ(table.last_map, 2);
  const std::uint32_t expected[3][7] = {
      {0xBE2AAAAB, 0xBE2AAAAD, 0x3E2AAAAB, 0xBE2AAAAD, 0x00000000, 0x00000000, 0x3E26E979},
      {0x3F555555, 0x3E800000, 0xBE800000, 0x3F555555, 0xBE2AAAAD, 0xBE2AAAC1, 0x3F19999A},
      {0x3EAAAAAB, 0xBDAAAAA6, 0x3DAAAAAA, 0x3EAAAAAA, 0x3DAAAAA6, 0x3F2AAAB0, 0x3E72B021},
  };
  for (int map = 0; map < 3; ++map)
    for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter)
      EXPECT_EQ(std::bit_cast<std::uint32_t>(ifs_get(table, parameter, map)), expected[map][parameter])
          << "map " << map << " parameter " << parameter;
  EXPECT_FLOAT_EQ(ifs_get(table, IFS_P, 0), 0.163f);
  EXPECT_FLOAT_EQ(ifs_get(table, IFS_A, 1), 0.8333333f);
  EXPECT_EQ(ifs_get(table, IFS_B, 1), 0.25f);
  EXPECT_EQ(ifs_get(table, IFS_P, 1), bits(0x3F19999A));
}

// Storage is parameter-major: parameter k of map i at k * map_count + i.
TEST(IfsTable, ResizeKeepsEveryParameterOfEveryKeptMap) {
  IfsTable table;
  ASSERT_TRUE(ifs_table_resize(table, 3));
  fill_with_positions(table);

  ASSERT_TRUE(ifs_table_resize(table, 5));
  EXPECT_EQ(table.map_count, 5);
  EXPECT_EQ(table.last_map, 4);
  for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter) {
    for (int map = 0; map < 3; ++map) EXPECT_EQ(ifs_get(table, parameter, map), 10 * parameter + map + 1);
    for (int map = 3; map < 5; ++map) EXPECT_EQ(table.values[parameter * 5 + map], 0.0f) << "new maps are zero";
  }

  ASSERT_TRUE(ifs_table_resize(table, 2));
  EXPECT_EQ(table.last_map, 1);
  for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter)
    for (int map = 0; map < 2; ++map) EXPECT_EQ(table.values[parameter * 2 + map], 10 * parameter + map + 1);

  // Growing again does not bring the dropped maps back.
  ASSERT_TRUE(ifs_table_resize(table, 3));
  for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter) EXPECT_EQ(ifs_get(table, parameter, 2), 0.0f);
}

TEST(IfsTable, ImpossibleResizeFailsAndLeavesTheTableAsItWas) {
  IfsTable table;
  ASSERT_TRUE(ifs_table_load_builtin(table));
  const float before = ifs_get(table, IFS_P, 2);
  for (std::int32_t count : {-1, INT32_MIN, IFS_MAX_MAPS + 1, INT32_MAX}) {
    EXPECT_FALSE(ifs_table_resize(table, count)) << count;
    EXPECT_EQ(table.map_count, 3);
    EXPECT_EQ(table.last_map, 2);
    EXPECT_EQ(ifs_get(table, IFS_P, 2), before);
  }
}

TEST(IfsTable, AccessOutsideTheTableIsHarmless) {
  IfsTable table;
  EXPECT_EQ(ifs_get(table, IFS_A, 0), 0.0f) << "empty table";
  ifs_set(table, IFS_A, 0, 1.0f);
  ASSERT_TRUE(ifs_table_resize(table, 2));
  ifs_set(table, IFS_A, 2, 5.0f);
  ifs_set(table, -1, 0, 5.0f);
  ifs_set(table, IFS_PARAMETER_COUNT, 0, 5.0f);
  ifs_set(table, IFS_A, -1, 5.0f);
  for (int k = 0; k < 2 * IFS_PARAMETER_COUNT; ++k) EXPECT_EQ(table.values[k], 0.0f);
  EXPECT_EQ(ifs_get(table, IFS_P, 2), 0.0f);
  EXPECT_EQ(ifs_get(table, 7, 0), 0.0f);
  EXPECT_EQ(ifs_get(table, IFS_A, -1), 0.0f);
}

}  // namespace
