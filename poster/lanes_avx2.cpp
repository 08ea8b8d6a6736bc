// The lockstep player in 16 lanes for processors with AVX2.
#include "poster/lane_streams.h"
#include "runtime/core/random.h"

#if defined(__x86_64__) && defined(__GNUC__)

#pragma GCC push_options
#pragma GCC target("avx2")
namespace lanes_avx2 {
constexpr int LANES = 16;
#include "poster/lane_kernel.inc"
}  // namespace lanes_avx2
#pragma GCC pop_options

void play_lanes_avx2(const LaneJob& job, std::int64_t first_chunk, const LaneSink& sink) {
  lanes_avx2::play_lanes(job, first_chunk, sink);
}

#endif
