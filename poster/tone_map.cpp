#include "poster/tone_map.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "poster/parallel_shares.h"

namespace {

constexpr std::uint64_t BRIGHTNESS_TABLE_SIZE = 4096;

std::uint64_t most_hits_in(const SampleBuffer& buffer, const SampleCanvas& canvas, std::int64_t begin,
                           std::int64_t end) {
  std::uint64_t most = 0;
  const std::int64_t samples = canvas.samples();
  for (std::int64_t i = begin; i < end; ++i) {
    std::uint64_t hits = 0;
    for (std::uint32_t s = 0; s < canvas.slots; ++s) hits += buffer.counts[s * samples + i];
    most = std::max(most, hits);
  }
  return most;
}

std::uint64_t most_hits(const SampleBuffer& buffer, const SampleCanvas& canvas, int threads) {
  std::mutex mutex;
  std::uint64_t most = 0;
  parallel_shares(threads, canvas.samples(), [&](std::int64_t begin, std::int64_t end) {
    const std::uint64_t share_most = most_hits_in(buffer, canvas, begin, end);
    const std::lock_guard<std::mutex> lock(mutex);
    most = std::max(most, share_most);
  });
  return most;
}

std::uint32_t quantise(double value, double levels) {
  return static_cast<std::uint32_t>(std::clamp(value, 0.0, 1.0) * levels + 0.5);
}

}  // namespace

LinearColour linear_colour(std::uint32_t bgr) {
  return {static_cast<double>(bgr & 0xFF) / 255.0, static_cast<double>((bgr >> 8) & 0xFF) / 255.0,
          static_cast<double>((bgr >> 16) & 0xFF) / 255.0};
}

ToneMapper::ToneMapper(const SampleBuffer& buffer, const SampleCanvas& canvas, const Shading& shading)
    : buffer_(buffer), canvas_(canvas), shading_(shading) {
  if (canvas_.mode != SHADE_DENSITY) return;
  most_hits_ = most_hits(buffer_, canvas_, shading_.threads);
  const std::uint64_t table_size = std::min(BRIGHTNESS_TABLE_SIZE, most_hits_ + 1);
  brightness_table_.resize(table_size);
  for (std::uint64_t hits = 0; hits < table_size; ++hits) brightness_table_[hits] = computed_brightness(hits);
}

double ToneMapper::brightness(std::uint64_t hits) const {
  return hits < brightness_table_.size() ? brightness_table_[hits] : computed_brightness(hits);
}

double ToneMapper::computed_brightness(std::uint64_t hits) const {
  const double density = std::log1p(static_cast<double>(hits)) / std::log1p(static_cast<double>(most_hits_));
  return std::pow(density, 1.0 / shading_.gamma);
}

LinearColour ToneMapper::density_sample(std::int64_t index) const {
  const std::int64_t samples = canvas_.samples();
  std::uint64_t hits = 0;
  LinearColour blend;
  for (std::uint32_t s = 0; s < canvas_.slots; ++s) {
    const std::uint32_t count = buffer_.counts[s * samples + index];
    if (count == 0) continue;
    hits += count;
    const LinearColour& colour = shading_.slot_colours[s];
    blend.red += colour.red * count;
    blend.green += colour.green * count;
    blend.blue += colour.blue * count;
  }
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
