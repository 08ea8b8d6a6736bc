#include "support/ifs_tables.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "app/app_state.h"
#include "app/ifs_table.h"

void use_maps(const std::vector<std::vector<float>>& maps) {
  app_state_reset();
  IfsTable& table = app_state().table;
  ASSERT_TRUE(ifs_table_resize(table, static_cast<std::int32_t>(maps.size())));
  for (std::size_t map = 0; map < maps.size(); ++map)
    for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter)
      ifs_set(table, parameter, static_cast<std::int32_t>(map), maps[map][parameter]);
}
