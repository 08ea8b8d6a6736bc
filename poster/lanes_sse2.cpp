// The lockstep player in 8 lanes for processors with SSE2.
#include "poster/lane_streams.h"
#include "runtime/core/random.h"

#if defined(__x86_64__) && defined(__GNUC__)

#pragma GCC push_options
#pragma GCC target("sse2")
namespace lanes_sse2 {
constexpr int LANES = 8;
#include "poster/lane_kernel.inc"
}  // namespace lanes_sse2
#pragma GCC pop_options

void play_lanes_sse2(const LaneJob& job, std::int64_t first_chunk, const LaneSink& sink) {
  lanes_sse2::play_lanes(job, first_chunk, sink);
}

#endif
