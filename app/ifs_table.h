// The table of affine maps that defines the fractal. Each map has seven
// parameters a, b, c, d, e, f, p; the map sends (x, y) to
// (a·x + b·y + e, c·x + d·y + f) and p is its weight in the chaos game.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

inline constexpr int IFS_PARAMETER_COUNT = 7;
enum IfsParameter : int { IFS_A = 0, IFS_B, IFS_C, IFS_D, IFS_E, IFS_F, IFS_P };

// Bounded so that a damaged or hostile file cannot make the table claim
// gigabytes: 2^24 maps already take 448 MiB.
inline constexpr std::int32_t IFS_MAX_MAPS = 1 << 24;

// The chaos game draws r from 101 values (0.00, 0.01, ..., 1.00), so the map
// each of them chooses can be worked out once per set of weights.
inline constexpr int IFS_CHOICE_COUNT = 101;
inline constexpr std::int32_t IFS_NO_MAP = -1;

// Parameter-major storage: parameter k of map i lies at k * map_count + i.
struct IfsTable {
  std::unique_ptr<float[]> values;
  std::int32_t map_count = 0;
  std::int32_t last_map = -1;  // map_count - 1; loops over maps run 0..last_map
  // The map chosen for r = k / 100 (IFS_NO_MAP: none), valid while
  // choices_stale is false; every change of a weight or of the map count
  // makes it stale.
  std::array<std::int32_t, IFS_CHOICE_COUNT> choices{};
  bool choices_stale = true;
};

// The values of one parameter for maps 0..last_map; only valid until the
// next resize.
inline const float* ifs_row(const IfsTable& table, int parameter) {
  return table.values.get() + static_cast<std::size_t>(parameter) * table.map_count;
}

// The maps' coefficients, one row each, as the chaos game reads them; only
// valid until the next resize.
struct MapRows {
  const float *a, *b, *c, *d, *e, *f;
};

inline MapRows ifs_map_rows(const IfsTable& table) {
  return MapRows{ifs_row(table, IFS_A), ifs_row(table, IFS_B), ifs_row(table, IFS_C),
                 ifs_row(table, IFS_D), ifs_row(table, IFS_E), ifs_row(table, IFS_F)};
}

inline bool ifs_holds(const IfsTable& table, int parameter, std::int32_t map) {
  return parameter >= 0 && parameter < IFS_PARAMETER_COUNT && map >= 0 && map < table.map_count;
}

// Out-of-range parameter or map: 0.
inline float ifs_get(const IfsTable& table, int parameter, std::int32_t map) {
  return ifs_holds(table, parameter, map) ? ifs_row(table, parameter)[map] : 0.0f;
}
// Out-of-range parameter or map: ignored.
void ifs_set(IfsTable& table, int parameter, std::int32_t map, float value);

// Changes the map count keeping every (parameter, map) value; new maps are all
// zero. False, with the table untouched, for a negative or too large count or
// when memory runs out.
bool ifs_table_resize(IfsTable& table, std::int32_t map_count);

// The three-map IFS held from start-up until the first file is loaded.
bool ifs_table_load_builtin(IfsTable& table);
