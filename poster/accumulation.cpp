#include "poster/accumulation.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <vector>

#include "poster/parallel_shares.h"
#include "poster/point_streams.h"
#include "poster/sample_plots.h"
#include "poster/space_streams.h"
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

// Points are found a batch at a time and plotted afterwards: the chain of
// points then runs at its own pace while the counts' cache misses overlap.
inline constexpr int PLOT_BATCH = 256;
inline constexpr std::int64_t OFF_CANVAS = -1;

// The scalar loop, one chunk at a time: the reference every lane path matches.
struct ChunkPlayer {
  const AccumulationJob* job;
  ChoiceTable choices;
  MapRows maps;
  SampleLocator locator;

  // Works on copies of its tables: a count stored through a pointer could
  // otherwise be taken to change them, and they would be read again per point.
  template <typename Plot>
  void play(std::int64_t chunk, const Plot& plot) const {
    if (job->space != nullptr) return play_space(chunk, plot);
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
        if (indices[k] != OFF_CANVAS) plotter.plot(indices[k], slots[k], first + k);
      }
    }
  }

  // The same chunk of a 3-D table, each point counted where its projection lands.
  template <typename Plot>
  void play_space(std::int64_t chunk, const Plot& plot) const {
    const SpaceMaps& space = *job->space;
    const float* values = space.values.data();
    RandomGenerator generator;
    stream_start(generator, job->seed, static_cast<std::uint32_t>(chunk));
    SpacePoint point;
    for (int step = 0; step < CHUNK_WARM_UP_STEPS; ++step) space_stream_step(generator, choices, values, point);
    const std::int64_t end = std::min(job->points, (chunk + 1) * CHUNK_POINTS);
    for (std::int64_t number = chunk * CHUNK_POINTS; number < end; ++number) {
      const std::uint32_t slot = space_stream_step(generator, choices, values, point);
      std::int64_t index;
      if (locator.locate(space_stream_seen(space, point), index)) plot.plot(index, slot, number);
    }
  }
};

// Hands one lane block's points to a plot, in the block's order, fetching
// the next block's counts on the way.
template <typename Plot>
void plot_lane_block(void* context, const LaneBlock& block) {
  const Plot plot = *static_cast<const Plot*>(context);
  const std::uint32_t* const element = block.element;
  const std::uint32_t* const next = block.next_element;
  int e = 0;
  for (int k = 0; k < block.steps; ++k) {
    for (int lane = 0; lane < block.lanes; ++lane, ++e) {
      if (e < block.next_entries && next[e] != LANE_OFF_CANVAS) plot.prefetch(next[e]);
      if (element[e] != LANE_OFF_CANVAS) plot.add(element[e], block.slot[e], block.first_number[lane] + k);
    }
  }
  for (; e < block.next_entries; ++e)
    if (next[e] != LANE_OFF_CANVAS) plot.prefetch(next[e]);
}

// Every thread takes the next group of chunks (one per lane) until none is left.
struct ChunkDealer {
  const ChunkPlayer* player;
  std::atomic<std::int64_t>* next;
  std::atomic<std::int64_t>* points_done;
  std::int64_t chunks;

  template <typename Plot>
  void run(const Plot& plot, bool reports) const {
    const AccumulationJob& job = *player->job;
    const LaneKernel& kernel = job.kernel;
    const bool lanes = kernel.play != nullptr && job.table->map_count > 0 && job.space == nullptr &&
                       lanes_count(job.canvas.elements());
    const std::int64_t group = lanes ? kernel.lanes : 1;
    const std::int64_t plane = job.canvas.mode == SHADE_DENSITY ? job.canvas.samples() : 0;
    const LaneJob lane_job{&player->choices,
                           player->maps,
                           job.transform,
                           player->locator.width,
                           player->locator.height,
                           static_cast<std::uint32_t>(job.canvas.width),
                           static_cast<std::uint32_t>(plane),
                           job.seed,
                           job.points};
    const LaneSink sink{plot_lane_block<Plot>, const_cast<Plot*>(&plot)};
    for (std::int64_t first; (first = next->fetch_add(group)) < chunks;) {
      if (lanes) {
        kernel.play(lane_job, first, sink);
      } else {
        player->play(first, plot);
      }
      const std::int64_t last = std::min(chunks, first + group);
      const std::int64_t played = std::min(job.points, last * CHUNK_POINTS) - first * CHUNK_POINTS;
      const std::int64_t done = points_done->fetch_add(played) + played;
      if (reports && job.progress.report != nullptr) job.progress.report(job.progress.context, done);
    }
  }

  void run(SampleBuffer& buffer, bool shared, bool reports) const {
    const SampleCanvas& canvas = player->job->canvas;
    const std::int64_t row_length = canvas.width;
    if (canvas.mode == SHADE_DENSITY) {
      const bool may_saturate = player->job->points >= std::int64_t{std::numeric_limits<std::uint32_t>::max()};
      if (!shared && !may_saturate) return run(PlainDensityPlot{buffer.counts.get(), canvas.samples(), row_length}, reports);
      if (!shared) return run(DensityPlot{buffer.counts.get(), canvas.samples(), row_length}, reports);
      if (!may_saturate) return run(SharedDensityPlot{buffer.counts.get(), canvas.samples(), row_length}, reports);
      return run(SharedSaturatingPlot{buffer.counts.get(), canvas.samples(), row_length}, reports);
    }
    if (!shared) return run(FlatPlot{buffer.keys.get(), row_length}, reports);
    run(SharedFlatPlot{buffer.keys.get(), row_length}, reports);
  }
};

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

int threads_asked(const AccumulationJob& job) {
  return static_cast<int>(std::max<std::int64_t>(std::min<std::int64_t>(job.threads, chunk_count(job.points)), 1));
}

ChunkPlayer chunk_player(const AccumulationJob& job) {
  return ChunkPlayer{&job, choice_table_make(*job.table, job.canvas.slots), ifs_map_rows(*job.table),
                     SampleLocator{job.transform, static_cast<double>(job.canvas.width),
                                   static_cast<double>(job.canvas.height), job.canvas.width}};
}

// One buffer for all threads: each clears the part it will be first to
// write, then all count into the whole.
bool accumulate_shared(const AccumulationJob& job, int threads, SampleBuffer& result) {
  if (!result.allocate(job.canvas)) return false;
  parallel_shares(threads, job.canvas.elements(),
                  [&](std::int64_t begin, std::int64_t end) { result.clear(job.canvas, begin, end); });
  const ChunkPlayer player = chunk_player(job);
  std::atomic<std::int64_t> next{0};
  std::atomic<std::int64_t> done{0};
  const ChunkDealer dealer{&player, &next, &done, chunk_count(job.points)};
  parallel_shares(threads, threads, [&](std::int64_t begin, std::int64_t) { dealer.run(result, true, begin == 0); });
  return true;
}

bool accumulate_private(const AccumulationJob& job, int threads, SampleBuffer& result) {
  std::vector<SampleBuffer> buffers(static_cast<std::size_t>(threads));
  for (std::size_t t = 0; t < buffers.size(); ++t) {
    if (buffers[t].allocate(job.canvas)) continue;
    if (t == 0) return false;
    buffers.resize(t);  // fewer threads give the same picture
    break;
  }
  const ChunkPlayer player = chunk_player(job);
  std::atomic<std::int64_t> next{0};
  std::atomic<std::int64_t> done{0};
  const ChunkDealer dealer{&player, &next, &done, chunk_count(job.points)};
  parallel_shares(static_cast<int>(buffers.size()), static_cast<std::int64_t>(buffers.size()),
                  [&](std::int64_t begin, std::int64_t end) {
                    for (std::int64_t b = begin; b < end; ++b) {
                      buffers[b].clear(job.canvas);
                      dealer.run(buffers[b], false, b == 0);
                    }
                  });
  merge(buffers, job.canvas);
  result = std::move(buffers[0]);
  return true;
}

}  // namespace

std::int64_t chunk_count(std::int64_t points) { return points <= 0 ? 0 : (points - 1) / CHUNK_POINTS + 1; }

bool accumulation_shares_buffer(const AccumulationJob& job) {
  return threads_asked(job) > 1 && job.canvas.bytes() >= job.shared_from_bytes;
}

int accumulation_threads(const AccumulationJob& job) {
  std::int64_t threads = threads_asked(job);
  if (accumulation_shares_buffer(job)) return static_cast<int>(threads);
  const std::int64_t bytes = job.canvas.bytes();
  if (bytes > 0) threads = std::min(threads, physical_memory() / 2 / bytes);
  return static_cast<int>(std::max<std::int64_t>(threads, 1));
}

bool accumulate(const AccumulationJob& job, SampleBuffer& result) {
  const int threads = accumulation_threads(job);
  const bool done = accumulation_shares_buffer(job) ? accumulate_shared(job, threads, result)
                                                     : accumulate_private(job, threads, result);
  // The calling thread may have finished its last group before the others.
  if (done && job.progress.report != nullptr) job.progress.report(job.progress.context, job.points);
  return done;
}
