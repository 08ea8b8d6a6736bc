// The poster renderer's points computed again from its rules alone, without
// calling the program: the two-table generator seeded per chunk from
// splitmix64(seed · 2^32 + chunk), 65536 points a chunk after 100 unplotted
// steps from the origin, the map chosen by scanning the running weights, each
// point evaluated in double and stored as float.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

struct ReferenceMap {
  float a, b, c, d, e, f, p;
};

// Calls `visit(x, y, map)` for every plotted point in order; map is -1 when
// no map was chosen (the point stayed).
void reference_points(const std::vector<ReferenceMap>& maps, std::uint32_t seed, std::int64_t points,
                      const std::function<void(float x, float y, int map)>& visit);

// A 3-D map: (x, y, z) goes to M·(x, y, z) + o, M by rows in m[0..8], o in m[9..11].
struct ReferenceSpaceMap {
  float m[12];
  float p;
};

// The same streams for a 3-D table, from (0, 0, 0): `visit(x, y, z, map)`
// for every plotted point in order.
void reference_space_points(const std::vector<ReferenceSpaceMap>& maps, std::uint32_t seed, std::int64_t points,
                            const std::function<void(float x, float y, float z, int map)>& visit);
