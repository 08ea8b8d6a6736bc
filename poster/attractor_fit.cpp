#include "poster/attractor_fit.h"

#include <algorithm>
#include <cmath>

#include "poster/point_streams.h"
#include "poster/space_streams.h"

namespace {

void widen(AttractorBox& box, bool& empty, double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (empty) {
    box = {x, x, y, y};
    empty = false;
    return;
  }
  box.min_x = std::min(box.min_x, x);
  box.max_x = std::max(box.max_x, x);
  box.min_y = std::min(box.min_y, y);
  box.max_y = std::max(box.max_y, y);
}

// How many samples one unit may span so that `extent` fits `span`; none when
// the extent is zero or the quotient is not a number a canvas can use.
double scale_for(double span, double extent) {
  if (!(extent > 0.0)) return HUGE_VAL;
  const double scale = span / extent;
  return std::isfinite(scale) ? scale : HUGE_VAL;
}

}  // namespace

AttractorBox attractor_measure(const IfsTable& table, std::uint32_t seed, int steps) {
  RandomGenerator generator;
  stream_start(generator, seed, MEASURE_STREAM);
  const ChoiceTable choices = choice_table_make(table, 1);
  const MapRows maps = ifs_map_rows(table);
  StreamPoint point;
  for (int step = 0; step < CHUNK_WARM_UP_STEPS; ++step) stream_step(generator, choices, maps, point);
  AttractorBox box;
  bool empty = true;
  for (int step = 0; step < steps; ++step) {
    stream_step(generator, choices, maps, point);
    widen(box, empty, point.x, point.y);
  }
  return box;
}

AttractorBox attractor_measure_space(const IfsTable& table, const SpaceMaps& space, std::uint32_t seed, int steps) {
  RandomGenerator generator;
  stream_start(generator, seed, MEASURE_STREAM);
  const ChoiceTable choices = choice_table_make(table, 1);
  const float* values = space.values.data();
  SpacePoint point;
  for (int step = 0; step < CHUNK_WARM_UP_STEPS; ++step) space_stream_step(generator, choices, values, point);
  AttractorBox box;
  bool empty = true;
  for (int step = 0; step < steps; ++step) {
    space_stream_step(generator, choices, values, point);
    const StreamPoint seen = space_stream_seen(space, point);
    widen(box, empty, seen.x, seen.y);
  }
  return box;
}

SampleTransform attractor_fit(const AttractorBox& box, std::int64_t width, std::int64_t height, std::int64_t margin) {
  // Spans between the centres of the first and the last usable sample.
  const double span_x = static_cast<double>(width - 2 * margin - 1);
  const double span_y = static_cast<double>(height - 2 * margin - 1);
  double scale = std::min(scale_for(span_x, box.max_x - box.min_x), scale_for(span_y, box.max_y - box.min_y));
  if (scale == HUGE_VAL) scale = 0.0;
  const double centre_x = box.min_x / 2.0 + box.max_x / 2.0;
  const double centre_y = box.min_y / 2.0 + box.max_y / 2.0;
  SampleTransform transform;
  transform.scale_x = scale;
  transform.scale_y = -scale;  // larger y goes up the picture
  transform.offset_x = static_cast<double>(width) / 2.0 - centre_x * scale;
  transform.offset_y = static_cast<double>(height) / 2.0 + centre_y * scale;
  return transform;
}

SampleTransform view_fit(double min_x, double min_y, double max_x, double max_y, std::int64_t width,
                         std::int64_t height, std::int64_t margin) {
  const double span_x = static_cast<double>(width - 2 * margin);
  const double span_y = static_cast<double>(height - 2 * margin);
  const double scale = std::min(span_x / (max_x - min_x), span_y / (max_y - min_y));
  SampleTransform transform;
  transform.scale_x = scale;
  transform.scale_y = -scale;  // larger y goes up the picture
  transform.offset_x = static_cast<double>(width) / 2.0 - (min_x / 2.0 + max_x / 2.0) * scale;
  transform.offset_y = static_cast<double>(height) / 2.0 + (min_y / 2.0 + max_y / 2.0) * scale;
  return transform;
}
