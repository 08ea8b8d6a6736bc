// How one point is counted: density adds one to its slot's count, stopping
// at the largest count; flat keeps the latest point's key. The shared forms
// do the same on a buffer other threads count into at the same time.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <limits>

#include "poster/sample_buffer.h"

struct DensityPlot {
  std::uint32_t* counts;
  std::int64_t plane;
  std::int64_t row_length;
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t) const {
    std::uint32_t& count = counts[slot * plane + index];
    count += count != std::numeric_limits<std::uint32_t>::max();
  }
};

// For renders of fewer points than the largest count: no count can then
// pass it, so a plain atomic add is exact.
struct SharedDensityPlot {
  std::uint32_t* counts;
  std::int64_t plane;
  std::int64_t row_length;
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t) const {
    std::atomic_ref<std::uint32_t>(counts[slot * plane + index]).fetch_add(1, std::memory_order_relaxed);
  }
};

struct SharedSaturatingPlot {
  std::uint32_t* counts;
  std::int64_t plane;
  std::int64_t row_length;
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t) const {
    std::atomic_ref<std::uint32_t> count(counts[slot * plane + index]);
    std::uint32_t seen = count.load(std::memory_order_relaxed);
    while (seen != std::numeric_limits<std::uint32_t>::max() &&
           !count.compare_exchange_weak(seen, seen + 1, std::memory_order_relaxed)) {
    }
  }
};

inline std::uint64_t flat_key(std::int64_t number, std::uint32_t slot) {
  return (static_cast<std::uint64_t>(number + 1) << FLAT_SLOT_BITS) | slot;
}

// The larger key is the later point, whatever order the points come in.
struct FlatPlot {
  std::uint64_t* keys;
  std::int64_t row_length;
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t number) const {
    keys[index] = std::max(keys[index], flat_key(number, slot));
  }
};

struct SharedFlatPlot {
  std::uint64_t* keys;
  std::int64_t row_length;
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t number) const {
    std::atomic_ref<std::uint64_t> key(keys[index]);
    const std::uint64_t mine = flat_key(number, slot);
    std::uint64_t seen = key.load(std::memory_order_relaxed);
    while (seen < mine && !key.compare_exchange_weak(seen, mine, std::memory_order_relaxed)) {
    }
  }
};
