#include "poster/accumulation.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <vector>

#include "poster/parallel_shares.h"
#include "poster/point_streams.h"
#include "platform/win32/kernel32.h"

namespace {

// Where a point lands: its sample's index, or false when it is off the canvas
// (not a number included).
struct SampleLocator {
  SampleTransform transform;
  double width;
  double height;
  std::int64_t row_length;

  bool locate(const StreamPoint& point, std::int64_t& index) const {
    const double column = static_cast<double>(point.x) * transform.scale_x + transform.offset_x;
    const double row = static_cast<double>(point.y) * transform.scale_y + transform.offset_y;
    if (!(column >= 0.0 && column < width && row >= 0.0 && row < height)) return false;
    index = static_cast<std::int64_t>(row) * row_length + static_cast<std::int64_t>(column);
    return true;
  }
};

struct DensityPlot {
  std::uint32_t* counts;
  std::int64_t plane;
  void operator()(std::int64_t index, std::uint32_t slot, std::int64_t) const {
    std::uint32_t& count = counts[slot * plane + index];
    count += count != std::numeric_limits<std::uint32_t>::max();
  }
};

struct FlatPlot {
  std::uint64_t* keys;
  void operator()(std::int64_t index, std::uint32_t slot, std::int64_t number) const {
    keys[index] = (static_cast<std::uint64_t>(number + 1) << FLAT_SLOT_BITS) | slot;
  }
};

// Points are found a batch at a time and plotted afterwards: the chain of
// points then runs at its own pace while the counts' cache misses overlap.
inline constexpr int PLOT_BATCH = 256;
inline constexpr std::int64_t OFF_CANVAS = -1;

struct ChunkPlayer {
  const AccumulationJob* job;
  ChoiceTable choices;
  MapRows maps;
  SampleLocator locator;

  // Works on copies of its tables: a count stored through a pointer could
  // otherwise be taken to change them, and they would be read again per point.
  template <typename Plot>
  void play(std::int64_t chunk, const Plot& plot) const {
    const ChoiceTable local_choices = choices;
    const MapRows local_maps = maps;
    const SampleLocator local_locator = locator;
    const Plot plotter = plot;
    RandomGenerator generator;
    stream_start(generator, job->seed, static_cast<std::uint32_t>(chunk));
    StreamPoint point;
    for (int step = 0; step < CHUNK_WARM_UP_STEPS; ++step) stream_step(generator, local_choices, local_maps, point);
    const std::int64_t end = std::min(job->points, (chunk + 1) * CHUNK_POINTS);
    std::int64_t indices[PLOT_BATCH];
    std::uint32_t slots[PLOT_BATCH];
    for (std::int64_t first = chunk * CHUNK_POINTS; first < end; first += PLOT_BATCH) {
      const int batch = static_cast<int>(std::min<std::int64_t>(PLOT_BATCH, end - first));
      for (int k = 0; k < batch; ++k) {
        slots[k] = stream_step(generator, local_choices, local_maps, point);
        if (!local_locator.locate(point, indices[k])) indices[k] = OFF_CANVAS;
      }
      for (int k = 0; k < batch; ++k) {
        if (indices[k] != OFF_CANVAS) plotter(indices[k], slots[k], first + k);
      }
    }
  }
};

// Chunks are handed out in increasing order, so the last key a thread writes
// to a sample is its latest point there.
void run_chunks(const ChunkPlayer& player, std::atomic<std::int64_t>& next, std::int64_t chunks,
                SampleBuffer& buffer) {
  const SampleCanvas& canvas = player.job->canvas;
  for (std::int64_t chunk; (chunk = next.fetch_add(1)) < chunks;) {
    if (canvas.mode == SHADE_DENSITY) {
      player.play(chunk, DensityPlot{buffer.counts.get(), canvas.samples()});
    } else {
      player.play(chunk, FlatPlot{buffer.keys.get()});
    }
  }
}

void merge_range(std::vector<SampleBuffer>& buffers, ShadeMode mode, std::int64_t begin, std::int64_t end) {
  constexpr std::uint64_t COUNT_LIMIT = std::numeric_limits<std::uint32_t>::max();
  for (std::size_t b = 1; b < buffers.size(); ++b) {
    for (std::int64_t i = begin; i < end; ++i) {
      if (mode == SHADE_DENSITY) {
        const std::uint64_t sum = std::uint64_t{buffers[0].counts[i]} + buffers[b].counts[i];
        buffers[0].counts[i] = static_cast<std::uint32_t>(std::min(sum, COUNT_LIMIT));
      } else {
        buffers[0].keys[i] = std::max(buffers[0].keys[i], buffers[b].keys[i]);
      }
    }
  }
}

// Each thread merges its own share of the canvas from every buffer.
void merge(std::vector<SampleBuffer>& buffers, const SampleCanvas& canvas) {
  if (buffers.size() < 2) return;
  parallel_shares(static_cast<int>(buffers.size()), canvas.elements(),
                  [&](std::int64_t begin, std::int64_t end) { merge_range(buffers, canvas.mode, begin, end); });
}

std::int64_t physical_memory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  return GlobalMemoryStatusEx(&status) ? static_cast<std::int64_t>(status.ullTotalPhys) : 0;
}

}  // namespace

std::int64_t chunk_count(std::int64_t points) { return points <= 0 ? 0 : (points - 1) / CHUNK_POINTS + 1; }

int accumulation_threads(const AccumulationJob& job) {
  std::int64_t threads = std::min<std::int64_t>(job.threads, chunk_count(job.points));
  const std::int64_t bytes = job.canvas.bytes();
  if (bytes > 0) threads = std::min(threads, physical_memory() / 2 / bytes);
  return static_cast<int>(std::max<std::int64_t>(threads, 1));
}

bool accumulate(const AccumulationJob& job, SampleBuffer& result) {
  std::vector<SampleBuffer> buffers(static_cast<std::size_t>(accumulation_threads(job)));
  for (std::size_t t = 0; t < buffers.size(); ++t) {
    if (buffers[t].allocate(job.canvas)) continue;
    if (t == 0) return false;
    buffers.resize(t);  // fewer threads give the same picture
    break;
  }
  const ChunkPlayer player{&job, choice_table_make(*job.table, job.canvas.slots), ifs_map_rows(*job.table),
                           SampleLocator{job.transform, static_cast<double>(job.canvas.width),
                                         static_cast<double>(job.canvas.height), job.canvas.width}};
  const std::int64_t chunks = chunk_count(job.points);
  std::atomic<std::int64_t> next{0};
  parallel_shares(static_cast<int>(buffers.size()), static_cast<std::int64_t>(buffers.size()),
                  [&](std::int64_t begin, std::int64_t end) {
                    for (std::int64_t b = begin; b < end; ++b) {
                      buffers[b].clear(job.canvas);
                      run_chunks(player, next, chunks, buffers[b]);
                    }
                  });
  merge(buffers, job.canvas);
  result = std::move(buffers[0]);
  return true;
}
