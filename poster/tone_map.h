// From samples to picture rows. Density: a sample hit n times gets the
// brightness (log(1 + n) / log(1 + the most hits of any sample))^(1 / gamma)
// and the maps' colours blended by how often each slot hit it, laid over the
// background; flat: a hit sample takes its last point's colour. Each picture
// pixel is the mean of its K × K samples, written as 8- or 16-bit R, G, B.
//
// The flame tone instead gives a sample hit n times the density alpha
// A = brightness · log(1 + n / m) / (2 log 2), m being the mean hits of the
// samples hit at all (so the picture does not hang on its busiest sample),
// averages A and the colour times A over the K × K samples, then applies
// gamma: the coverage is min(1, A^(1/gamma)) and the colour is vibrancy ·
// colour · A^(1/gamma) plus (1 - vibrancy) · (colour · A)^(1/gamma) per
// channel. A colour map replaces the maps' colours by the map's colour at
// the coverage. With an alpha channel the picture is laid over the
// background's own alpha (0 for transparent) and written R, G, B, A.
#pragma once

#include <cstdint>
#include <vector>

#include "poster/colour_maps.h"
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
  bool flame = false;
  double brightness = 1.0;
  double vibrancy = 1.0;
  ColourMapName colour_map = COLOUR_MAP_NONE;
  bool alpha_channel = false;
  double background_alpha = 1.0;  // 0..1, with the alpha channel
};

// A colour already multiplied by its coverage, and the coverage.
struct CoveredColour {
  double red = 0.0, green = 0.0, blue = 0.0, alpha = 0.0;
};

class ToneMapper {
 public:
  ToneMapper(const SampleBuffer& buffer, const SampleCanvas& canvas, const Shading& shading);

  std::int64_t width() const { return canvas_.width / shading_.supersample; }
  std::int64_t height() const { return canvas_.height / shading_.supersample; }
  std::int64_t channels() const { return shading_.alpha_channel ? 4 : 3; }
  std::int64_t row_bytes() const { return width() * channels() * (shading_.depth / 8); }
  // Row y of the picture, top line first, R G B (A) per pixel (16-bit
  // samples most significant byte first, as PNG stores them).
  void row(std::int64_t y, std::uint8_t* out) const;

 private:
  void opaque_row(std::int64_t y, std::uint8_t* out) const;
  void covered_row(std::int64_t y, std::uint8_t* out) const;
  CoveredColour covered_sample(std::int64_t index) const;
  CoveredColour toned(const CoveredColour& mean) const;
  CoveredColour flame_toned(const CoveredColour& mean) const;
  LinearColour sample(std::int64_t index) const;
  // A density sample's hits and the sum of its slots' colours times their hits.
  struct HitBlend {
    std::uint64_t hits = 0;
    LinearColour sum;
  };
  HitBlend hit_blend(std::int64_t index) const;
  LinearColour density_sample(std::int64_t index) const;
  double brightness(std::uint64_t hits) const;
  double computed_brightness(std::uint64_t hits) const;
  double flame_density(std::uint64_t hits) const;

  const SampleBuffer& buffer_;
  SampleCanvas canvas_;
  Shading shading_;
  std::uint64_t most_hits_ = 0;
  double mean_hits_ = 1.0;  // of the samples hit at all
  std::vector<double> brightness_table_;  // for the commonest, small counts
};
