// The lockstep player in 32 lanes for processors with AVX512.
#include "poster/lane_streams.h"
#include "runtime/core/random.h"

#if defined(__x86_64__) && defined(__GNUC__)

#pragma GCC push_options
#pragma GCC target("avx512f,avx512dq,avx512bw,avx512vl,prefer-vector-width=512")
namespace lanes_avx512 {
constexpr int LANES = 32;
#include "poster/lane_kernel.inc"
}  // namespace lanes_avx512
#pragma GCC pop_options

void play_lanes_avx512(const LaneJob& job, std::int64_t first_chunk, const LaneSink& sink) {
  lanes_avx512::play_lanes(job, first_chunk, sink);
}

#endif
