// From samples to picture rows. Density: a sample hit n times gets the
// brightness (log(1 + n) / log(1 + the most hits of any sample))^(1 / gamma)
// and the maps' colours blended by how often each slot hit it, laid over the
// background; flat: a hit sample takes its last point's colour. Each picture
// pixel is the mean of its K × K samples, written as 8- or 16-bit R, G, B.
#pragma once

#include <cstdint>
#include <vector>

#include "poster/sample_buffer.h"

struct LinearColour {
  double red = 0.0, green = 0.0, blue = 0.0;  // 0..1
};

// From 0xBBGGRR (red in the lowest byte).
LinearColour linear_colour(std::uint32_t bgr);

struct Shading {
  double gamma = 1.0;
  LinearColour background;
  std::vector<LinearColour> slot_colours;  // one per slot
  int supersample = 1;                     // K
  int depth = 8;                           // bits per channel
  int threads = 1;                         // for finding the busiest sample
};

class ToneMapper {
 public:
  ToneMapper(const SampleBuffer& buffer, const SampleCanvas& canvas, const Shading& shading);

  std::int64_t width() const { return canvas_.width / shading_.supersample; }
  std::int64_t height() const { return canvas_.height / shading_.supersample; }
  std::int64_t row_bytes() const { return width() * 3 * (shading_.depth / 8); }
  // Row y of the picture, top line first, R G B per pixel (16-bit samples
  // most significant byte first, as PNG stores them).
  void row(std::int64_t y, std::uint8_t* out) const;

 private:
  LinearColour sample(std::int64_t index) const;
  LinearColour density_sample(std::int64_t index) const;
  double brightness(std::uint64_t hits) const;
  double computed_brightness(std::uint64_t hits) const;

  const SampleBuffer& buffer_;
  SampleCanvas canvas_;
  Shading shading_;
  std::uint64_t most_hits_ = 0;
  std::vector<double> brightness_table_;  // for the commonest, small counts
};
