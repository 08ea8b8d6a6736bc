#include "app/ifs_table.h"

#include <algorithm>
#include <bit>
#include <new>

namespace {

// The built-in maps as exact float bit patterns, map by map: a, b, c, d, e, f, p.
constexpr std::uint32_t BUILTIN_MAP_BITS[] = {
    0xBE2AAAAB, 0xBE2AAAAD, 0x3E2AAAAB, 0xBE2AAAAD, 0x00000000, 0x00000000, 0x3E26E979,
    0x3F555555, 0x3E800000, 0xBE800000, 0x3F555555, 0xBE2AAAAD, 0xBE2AAAC1, 0x3F19999A,
    0x3EAAAAAB, 0xBDAAAAA6, 0x3DAAAAAA, 0x3EAAAAAA, 0x3DAAAAA6, 0x3F2AAAB0, 0x3E72B021,
};
constexpr std::int32_t BUILTIN_MAP_COUNT = 3;

}  // namespace

void ifs_set(IfsTable& table, int parameter, std::int32_t map, float value) {
  if (!ifs_holds(table, parameter, map)) return;
  table.values[static_cast<std::size_t>(parameter) * table.map_count + map] = value;
  if (parameter == IFS_P) table.choices_stale = true;
}

bool ifs_table_resize(IfsTable& table, std::int32_t map_count) {
  if (map_count < 0 || map_count > IFS_MAX_MAPS) return false;
  const std::size_t element_count = static_cast<std::size_t>(IFS_PARAMETER_COUNT) * map_count;
  std::unique_ptr<float[]> values(new (std::nothrow) float[element_count]());
  if (!values) return false;
  const std::int32_t kept = std::min(map_count, table.map_count);
  for (int parameter = 0; kept > 0 && parameter < IFS_PARAMETER_COUNT; ++parameter) {
    const float* from = table.values.get() + static_cast<std::size_t>(parameter) * table.map_count;
    std::copy(from, from + kept, values.get() + static_cast<std::size_t>(parameter) * map_count);
  }
  table.values = std::move(values);
  table.map_count = map_count;
  table.last_map = map_count - 1;
  table.choices_stale = true;
  return true;
}

bool ifs_table_load_builtin(IfsTable& table) {
  if (!ifs_table_resize(table, BUILTIN_MAP_COUNT)) return false;
  for (std::int32_t map = 0; map < BUILTIN_MAP_COUNT; ++map)
    for (int parameter = 0; parameter < IFS_PARAMETER_COUNT; ++parameter)
      ifs_set(table, parameter, map, std::bit_cast<float>(BUILTIN_MAP_BITS[map * IFS_PARAMETER_COUNT + parameter]));
  return true;
}
