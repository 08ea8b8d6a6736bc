// Where the points go: the attractor's bounding box, measured on a stream of
// its own, fitted undistorted and centred into the sample canvas less its
// margin. The box's edges land on the centres of the outermost samples, so
// every point of the box falls inside.
#pragma once

#include <cstdint>

#include "app/ifs_table.h"
#include "app/space_maps.h"

inline constexpr int FIT_MEASURE_STEPS = 1000000;

struct AttractorBox {
  double min_x = 0.0, max_x = 0.0, min_y = 0.0, max_y = 0.0;
};

// The box of the finite points the measuring stream visits (the origin alone
// when there are none).
AttractorBox attractor_measure(const IfsTable& table, std::uint32_t seed, int steps = FIT_MEASURE_STEPS);
// The same for a 3-D table (its weights in `table`, its maps in `space`): the
// box of the points' projections on the plane.
AttractorBox attractor_measure_space(const IfsTable& table, const SpaceMaps& space, std::uint32_t seed,
                                     int steps = FIT_MEASURE_STEPS);

// column = scale_x·x + offset_x, row = scale_y·y + offset_y, in samples; a
// point belongs to the sample its coordinates round down to.
struct SampleTransform {
  double scale_x = 0.0, offset_x = 0.0, scale_y = 0.0, offset_y = 0.0;
};

// `margin` samples are kept clear on every side (less than half the shorter
// side). A box without extent lands in the middle.
SampleTransform attractor_fit(const AttractorBox& box, std::int64_t width, std::int64_t height, std::int64_t margin);

// A rectangle of the plane laid undistorted and centred into the sample
// canvas less its margin: its edges are the canvas's edges along the side
// where it fits tightest. The rectangle is not empty and its extent finite.
SampleTransform view_fit(double min_x, double min_y, double max_x, double max_y, std::int64_t width,
                         std::int64_t height, std::int64_t margin);
