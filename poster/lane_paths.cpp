// Which lockstep player runs: the widest this processor has, chosen when the
// render starts, so that one binary serves every x86-64. IFS_SIMD forces
// another (for comparing the paths); all give the same counts.
#include <cstdlib>
#include <cstring>

#include "poster/lane_streams.h"

namespace {

struct PathEntry {
  LanePath path;
  const char* name;
  int lanes;
  LanePlayer play;
};

#if defined(__x86_64__) && defined(__GNUC__)
constexpr PathEntry PATHS[] = {
    {LANES_SCALAR, "scalar", 1, nullptr},
    {LANES_SSE2, "sse2", 8, play_lanes_sse2},
    {LANES_AVX2, "avx2", 16, play_lanes_avx2},
    {LANES_AVX512, "avx512", 32, play_lanes_avx512},
};

bool processor_runs(LanePath path) {
  __builtin_cpu_init();
  switch (path) {
    case LANES_SCALAR:
    case LANES_SSE2:
      return true;
    case LANES_AVX2:
      return __builtin_cpu_supports("avx2");
    case LANES_AVX512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
             __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl");
  }
  return false;
}
#else
constexpr PathEntry PATHS[] = {{LANES_SCALAR, "scalar", 1, nullptr}};

bool processor_runs(LanePath path) { return path == LANES_SCALAR; }
#endif

const PathEntry* path_entry(LanePath path) {
  for (const PathEntry& entry : PATHS)
    if (entry.path == path) return &entry;
  return nullptr;
}

}  // namespace

bool lane_kernel_for(LanePath path, LaneKernel& kernel) {
  const PathEntry* entry = path_entry(path);
  if (entry == nullptr || !processor_runs(path)) return false;
  kernel = LaneKernel{entry->path, entry->lanes, entry->play};
  return true;
}

const char* lane_path_name(LanePath path) {
  const PathEntry* entry = path_entry(path);
  return entry != nullptr ? entry->name : "unknown";
}

LaneKernel lane_kernel_chosen() {
  LaneKernel kernel;
  const char* forced = std::getenv("IFS_SIMD");
  if (forced != nullptr) {
    for (const PathEntry& entry : PATHS)
      if (std::strcmp(forced, entry.name) == 0 && lane_kernel_for(entry.path, kernel)) return kernel;
  }
  // SSE2's two doubles a vector do not pay for the lanes' bookkeeping: its
  // path runs slower than the scalar loop, so it is only taken when asked for.
  for (const LanePath path : {LANES_AVX512, LANES_AVX2})
    if (lane_kernel_for(path, kernel)) return kernel;
  return LaneKernel{};
}
