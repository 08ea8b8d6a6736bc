// The chunked streams of a 3-D table: the same generator, choice table and
// chunks as the plane's, the point moved in space by the desktop program's
// own step and seen through its own projection, so a poster and the window
// show the same attractor.
#pragma once

#include <cstdint>

#include "app/space_maps.h"
#include "poster/point_streams.h"

struct SpacePoint {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// One step; the slot the new point is counted in.
inline std::uint32_t space_stream_step(RandomGenerator& generator, const ChoiceTable& choices, const float* values,
                                       SpacePoint& point) {
  const std::uint64_t word = random_state_step(generator);
  const auto r = static_cast<std::uint32_t>((word * IFS_CHOICE_COUNT) >> 32);
  const std::int32_t map = choices.map[r];
  if (map != IFS_NO_MAP) space_move(values, map, point.x, point.y, point.z);
  return choices.slot[r];
}

inline StreamPoint space_stream_seen(const SpaceMaps& space, const SpacePoint& point) {
  const PlanePoint seen = space_project(space, point.x, point.y, point.z);
  return StreamPoint{seen.x, seen.y};
}
