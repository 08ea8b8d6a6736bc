// What a render counts per sample of its canvas (the picture times the
// supersampling factor on each side). Density counts hits per colour slot in
// 32 bits, one plane per slot, so that the maps' colours can be blended by
// how often each hit; counts stop at their largest value instead of wrapping.
// Flat keeps, per sample, the number of the last point that landed there and
// its slot, as the desktop canvas keeps the last colour drawn.
#pragma once

#include <cstdint>
#include <memory>

enum ShadeMode { SHADE_FLAT, SHADE_DENSITY };

struct SampleCanvas {
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t slots = 1;  // colour slots (density), at most 256
  ShadeMode mode = SHADE_DENSITY;

  std::int64_t samples() const { return width * height; }
  // 32-bit counts or 64-bit keys per sample.
  std::int64_t elements() const { return mode == SHADE_DENSITY ? samples() * slots : samples(); }
  std::int64_t bytes() const { return mode == SHADE_DENSITY ? elements() * 4 : elements() * 8; }
};

// A flat key: (point number + 1) · 256 + slot; 0 for a sample no point hit.
inline constexpr int FLAT_SLOT_BITS = 8;

// Counts come from whole pages of their own: large blocks are then placed on
// 2 MiB pages where the system offers them.
struct PagesDeleter {
  void operator()(void* block) const;
};

// Allocated without being touched, then cleared by the thread that counts
// into it: pages written first are mapped once, whereas pages read first
// (as a count's increment does) are mapped to the shared zero page and then
// copied, which on a process with several threads costs every core a TLB
// flush.
struct SampleBuffer {
  std::unique_ptr<std::uint32_t[], PagesDeleter> counts;  // density: plane of slot s at s · samples
  std::unique_ptr<std::uint64_t[], PagesDeleter> keys;    // flat

  bool allocate(const SampleCanvas& canvas);
  void clear(const SampleCanvas& canvas);
  // Clears only elements [begin, end), so that threads can share the work.
  void clear(const SampleCanvas& canvas, std::int64_t begin, std::int64_t end);
};
