#include "poster/tone_map.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "poster/parallel_shares.h"

namespace {

std::uint32_t quantise(double value, double levels) {
  return static_cast<std::uint32_t>(std::clamp(value, 0.0, 1.0) * levels + 0.5);
}

constexpr std::uint64_t BRIGHTNESS_TABLE_SIZE = 4096;

constexpr double LOG_TWO = 0.69314718055994530942;

struct HitStatistics {
  std::uint64_t most = 0;     // hits of the busiest sample
  std::uint64_t total = 0;    // hits of all samples
  std::uint64_t reached = 0;  // samples hit at all
};

HitStatistics hits_in(const SampleBuffer& buffer, const SampleCanvas& canvas, std::int64_t begin, std::int64_t end) {
  HitStatistics statistics;
  const std::int64_t samples = canvas.samples();
  for (std::int64_t i = begin; i < end; ++i) {
    std::uint64_t hits = 0;
    for (std::uint32_t s = 0; s < canvas.slots; ++s) hits += buffer.counts[s * samples + i];
    statistics.most = std::max(statistics.most, hits);
    statistics.total += hits;
    statistics.reached += hits > 0 ? 1 : 0;
  }
  return statistics;
}

HitStatistics hit_statistics(const SampleBuffer& buffer, const SampleCanvas& canvas, int threads) {
  std::mutex mutex;
  HitStatistics all;
  parallel_shares(threads, canvas.samples(), [&](std::int64_t begin, std::int64_t end) {
    const HitStatistics share = hits_in(buffer, canvas, begin, end);
    const std::lock_guard<std::mutex> lock(mutex);
    all.most = std::max(all.most, share.most);
    all.total += share.total;
    all.reached += share.reached;
  });
  return all;
}

void write_channel(std::uint8_t*& out, double value, int depth) {
  const std::uint32_t level = quantise(value, depth == 16 ? 65535.0 : 255.0);
  if (depth == 16) *out++ = static_cast<std::uint8_t>(level >> 8);
  *out++ = static_cast<std::uint8_t>(level);
}


}  // namespace

LinearColour linear_colour(std::uint32_t bgr) {
  return {static_cast<double>(bgr & 0xFF) / 255.0, static_cast<double>((bgr >> 8) & 0xFF) / 255.0,
          static_cast<double>((bgr >> 16) & 0xFF) / 255.0};
}

ToneMapper::ToneMapper(const SampleBuffer& buffer, const SampleCanvas& canvas, const Shading& shading)
    : buffer_(buffer), canvas_(canvas), shading_(shading) {
  if (canvas_.mode != SHADE_DENSITY) return;
  const HitStatistics statistics = hit_statistics(buffer_, canvas_, shading_.threads);
  most_hits_ = statistics.most;
  if (statistics.reached > 0)
    mean_hits_ = static_cast<double>(statistics.total) / static_cast<double>(statistics.reached);
  const std::uint64_t table_size = std::min(BRIGHTNESS_TABLE_SIZE, most_hits_ + 1);
  brightness_table_.resize(table_size);
  for (std::uint64_t hits = 0; hits < table_size; ++hits) brightness_table_[hits] = computed_brightness(hits);
}

double ToneMapper::brightness(std::uint64_t hits) const {
  return hits < brightness_table_.size() ? brightness_table_[hits] : computed_brightness(hits);
}

double ToneMapper::computed_brightness(std::uint64_t hits) const {
  if (shading_.flame) return flame_density(hits);
  const double density = std::log1p(static_cast<double>(hits)) / std::log1p(static_cast<double>(most_hits_));
  return std::pow(density, 1.0 / shading_.gamma);
}

double ToneMapper::flame_density(std::uint64_t hits) const {
  return shading_.brightness * std::log1p(static_cast<double>(hits) / mean_hits_) / (2.0 * LOG_TWO);
}

ToneMapper::HitBlend ToneMapper::hit_blend(std::int64_t index) const {
  const std::int64_t samples = canvas_.samples();
  HitBlend blend;
  for (std::uint32_t s = 0; s < canvas_.slots; ++s) {
    const std::uint32_t count = buffer_.counts[s * samples + index];
    if (count == 0) continue;
    blend.hits += count;
    const LinearColour& colour = shading_.slot_colours[s];
    blend.sum.red += colour.red * count;
    blend.sum.green += colour.green * count;
    blend.sum.blue += colour.blue * count;
  }
  return blend;
}

LinearColour ToneMapper::density_sample(std::int64_t index) const {
  const auto [hits, blend] = hit_blend(index);
  const LinearColour& back = shading_.background;
  if (hits == 0) return back;
  const double a = brightness(hits);
  const double n = static_cast<double>(hits);
  return {back.red + (blend.red / n - back.red) * a, back.green + (blend.green / n - back.green) * a,
          back.blue + (blend.blue / n - back.blue) * a};
}

LinearColour ToneMapper::sample(std::int64_t index) const {
  if (canvas_.mode == SHADE_DENSITY) return density_sample(index);
  const std::uint64_t key = buffer_.keys[index];
  if (key == 0) return shading_.background;
  return shading_.slot_colours[key & ((1u << FLAT_SLOT_BITS) - 1)];
}

void ToneMapper::row(std::int64_t y, std::uint8_t* out) const {
  if (shading_.flame || shading_.alpha_channel) return covered_row(y, out);
  opaque_row(y, out);
}

void ToneMapper::opaque_row(std::int64_t y, std::uint8_t* out) const {
  const int k = shading_.supersample;
  const double area = static_cast<double>(k) * k;
  const double levels = shading_.depth == 16 ? 65535.0 : 255.0;
  for (std::int64_t x = 0; x < width(); ++x) {
    LinearColour sum;
    for (int dy = 0; dy < k; ++dy) {
      for (int dx = 0; dx < k; ++dx) {
        const LinearColour c = sample((y * k + dy) * canvas_.width + x * k + dx);
        sum.red += c.red;
        sum.green += c.green;
        sum.blue += c.blue;
      }
    }
    for (const double channel : {sum.red, sum.green, sum.blue}) {
      const std::uint32_t value = quantise(channel / area, levels);
      if (shading_.depth == 16) *out++ = static_cast<std::uint8_t>(value >> 8);
      *out++ = static_cast<std::uint8_t>(value);
    }
  }
}

CoveredColour ToneMapper::covered_sample(std::int64_t index) const {
  if (canvas_.mode != SHADE_DENSITY) {
    const std::uint64_t key = buffer_.keys[index];
    if (key == 0) return {};
    const LinearColour& c = shading_.slot_colours[key & ((1u << FLAT_SLOT_BITS) - 1)];
    return {c.red, c.green, c.blue, 1.0};
  }
  const auto [hits, blend] = hit_blend(index);
  if (hits == 0) return {};
  const double a = brightness(hits);
  const double n = static_cast<double>(hits);
  return {blend.red / n * a, blend.green / n * a, blend.blue / n * a, a};
}

// Gamma and vibrancy on the block's mean density, as flame renderers do
// after filtering.
CoveredColour ToneMapper::flame_toned(const CoveredColour& mean) const {
  if (!(mean.alpha > 0.0)) return {};
  const double g = 1.0 / shading_.gamma;
  const double lifted = std::pow(mean.alpha, g);
  const double coverage = std::min(1.0, lifted);
  if (shading_.colour_map != COLOUR_MAP_NONE) {
    const MapColour c = colour_map_at(shading_.colour_map, coverage);
    return {c.red * coverage, c.green * coverage, c.blue * coverage, coverage};
  }
  const double v = shading_.vibrancy;
  auto channel = [&](double colour_times_density) {
    const double value = v * colour_times_density * lifted / mean.alpha + (1.0 - v) * std::pow(colour_times_density, g);
    return std::min(value, coverage);  // a channel may not outshine its coverage
  };
  return {channel(mean.red), channel(mean.green), channel(mean.blue), coverage};
}

CoveredColour ToneMapper::toned(const CoveredColour& mean) const {
  if (shading_.flame) return flame_toned(mean);
  return {mean.red, mean.green, mean.blue, std::min(1.0, mean.alpha)};
}

void ToneMapper::covered_row(std::int64_t y, std::uint8_t* out) const {
  const int k = shading_.supersample;
  const double area = static_cast<double>(k) * k;
  const LinearColour& back = shading_.background;
  const double back_alpha = shading_.alpha_channel ? shading_.background_alpha : 1.0;
  for (std::int64_t x = 0; x < width(); ++x) {
    CoveredColour sum;
    for (int dy = 0; dy < k; ++dy) {
      for (int dx = 0; dx < k; ++dx) {
        const CoveredColour c = covered_sample((y * k + dy) * canvas_.width + x * k + dx);
        sum.red += c.red;
        sum.green += c.green;
        sum.blue += c.blue;
        sum.alpha += c.alpha;
      }
    }
    const CoveredColour p = toned({sum.red / area, sum.green / area, sum.blue / area, sum.alpha / area});
    // The picture laid over the background: straight colour and alpha.
    const double behind = back_alpha * (1.0 - p.alpha);
    const double alpha = p.alpha + behind;
    const double unit = alpha > 0.0 ? 1.0 / alpha : 0.0;
    write_channel(out, (p.red + back.red * behind) * unit, shading_.depth);
    write_channel(out, (p.green + back.green * behind) * unit, shading_.depth);
    write_channel(out, (p.blue + back.blue * behind) * unit, shading_.depth);
    if (shading_.alpha_channel) write_channel(out, alpha, shading_.depth);
  }
}
