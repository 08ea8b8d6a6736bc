// How one point is counted: density adds one to its slot's count, stopping
// at the largest count; flat keeps the latest point's key. The shared forms
// do the same on a buffer other threads count into at the same time.
// `plot` takes the sample's index; the lane paths find the element first
// (`element`), fetch it ahead (`prefetch`) and then `add`.
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
  std::int64_t element(std::int64_t index, std::uint32_t slot) const { return slot * plane + index; }
  void prefetch(std::int64_t element) const { __builtin_prefetch(counts + element, 1); }
  void add(std::int64_t element, std::uint32_t, std::int64_t) const {
    std::uint32_t& count = counts[element];
    count += count != std::numeric_limits<std::uint32_t>::max();
  }
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t number) const {
    add(element(index, slot), slot, number);
  }
};

// For renders of fewer points than the largest count: no count can then
// reach it, so a plain add is exact.
struct PlainDensityPlot {
  std::uint32_t* counts;
  std::int64_t plane;
  std::int64_t row_length;
  std::int64_t element(std::int64_t index, std::uint32_t slot) const { return slot * plane + index; }
  void prefetch(std::int64_t element) const { __builtin_prefetch(counts + element, 1); }
  void add(std::int64_t element, std::uint32_t, std::int64_t) const { ++counts[element]; }
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t number) const {
    add(element(index, slot), slot, number);
  }
};

// The same for a buffer other threads count into.
struct SharedDensityPlot {
  std::uint32_t* counts;
  std::int64_t plane;
  std::int64_t row_length;
  std::int64_t element(std::int64_t index, std::uint32_t slot) const { return slot * plane + index; }
  void prefetch(std::int64_t element) const { __builtin_prefetch(counts + element, 1); }
  void add(std::int64_t element, std::uint32_t, std::int64_t) const {
    std::atomic_ref<std::uint32_t>(counts[element]).fetch_add(1, std::memory_order_relaxed);
  }
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t number) const {
    add(element(index, slot), slot, number);
  }
};

struct SharedSaturatingPlot {
  std::uint32_t* counts;
  std::int64_t plane;
  std::int64_t row_length;
  std::int64_t element(std::int64_t index, std::uint32_t slot) const { return slot * plane + index; }
  void prefetch(std::int64_t element) const { __builtin_prefetch(counts + element, 1); }
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t number) const {
    add(element(index, slot), slot, number);
  }
  void add(std::int64_t element, std::uint32_t, std::int64_t) const {
    std::atomic_ref<std::uint32_t> count(counts[element]);
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
  std::int64_t element(std::int64_t index, std::uint32_t) const { return index; }
  void prefetch(std::int64_t element) const { __builtin_prefetch(keys + element, 1); }
  void add(std::int64_t element, std::uint32_t slot, std::int64_t number) const {
    keys[element] = std::max(keys[element], flat_key(number, slot));
  }
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t number) const { add(index, slot, number); }
};

struct SharedFlatPlot {
  std::uint64_t* keys;
  std::int64_t row_length;
  std::int64_t element(std::int64_t index, std::uint32_t) const { return index; }
  void prefetch(std::int64_t element) const { __builtin_prefetch(keys + element, 1); }
  void plot(std::int64_t index, std::uint32_t slot, std::int64_t number) const { add(index, slot, number); }
  void add(std::int64_t element, std::uint32_t slot, std::int64_t number) const {
    std::atomic_ref<std::uint64_t> key(keys[element]);
    const std::uint64_t mine = flat_key(number, slot);
    std::uint64_t seen = key.load(std::memory_order_relaxed);
    while (seen < mine && !key.compare_exchange_weak(seen, mine, std::memory_order_relaxed)) {
    }
  }
};
