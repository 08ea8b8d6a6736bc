// A 3-D table: each map sends a point (x, y, z) of space to M·(x, y, z) + o,
// with M a 3x3 matrix and o an offset, and has a weight. It is drawn as the
// projection of its attractor on the x-y plane, optionally turned first, so
// that the map choice, the view fitting and the plotting are the 2-D ones.
// The weights live in the map table's p row, where the map choice reads
// them; the rest lives here.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

// In a file: the matrix by rows, the offset, the weight.
inline constexpr int SPACE_NUMBERS_PER_MAP = 13;
// Stored a map: the matrix by rows, then the offset.
inline constexpr int SPACE_STORED_PER_MAP = 12;

struct SpaceMaps {
  bool active = false;          // the loaded table is a 3-D one
  std::vector<float> values;    // SPACE_STORED_PER_MAP a map, map after map
  // The turn before projecting, by rows; only its first two rows count.
  std::array<double, 9> turn{1, 0, 0, 0, 1, 0, 0, 0, 1};
  bool turned = false;          // false: x and y are projected as they are
  float z = 0.0f;               // the current point's third coordinate
};

// The turn by YAW degrees about the y axis, then PITCH about the x axis, then
// ROLL about the z axis (right-handed). Multiples of 90 degrees turn exactly.
std::array<double, 9> space_turn_from_degrees(double yaw, double pitch, double roll);

// Moves the point by map `map`; every expression in double, each coordinate
// stored as float from the old point.
inline void space_move(const float* values, std::int32_t map, float& x, float& y, float& z) {
  const float* m = values + static_cast<std::size_t>(map) * SPACE_STORED_PER_MAP;
  const double x0 = x, y0 = y, z0 = z;
  x = static_cast<float>(static_cast<double>(m[0]) * x0 + static_cast<double>(m[1]) * y0 +
                         static_cast<double>(m[2]) * z0 + static_cast<double>(m[9]));
  y = static_cast<float>(static_cast<double>(m[3]) * x0 + static_cast<double>(m[4]) * y0 +
                         static_cast<double>(m[5]) * z0 + static_cast<double>(m[10]));
  z = static_cast<float>(static_cast<double>(m[6]) * x0 + static_cast<double>(m[7]) * y0 +
                         static_cast<double>(m[8]) * z0 + static_cast<double>(m[11]));
}

// The point as the plane sees it.
struct PlanePoint {
  float x, y;
};

inline PlanePoint space_project(const SpaceMaps& space, float x, float y, float z) {
  if (!space.turned) return PlanePoint{x, y};
  const std::array<double, 9>& t = space.turn;
  return PlanePoint{static_cast<float>(t[0] * x + t[1] * y + t[2] * z), static_cast<float>(t[3] * x + t[4] * y + t[5] * z)};
}
