// Work split into contiguous shares, one per thread. A thread that cannot be
// started leaves its share to the calling thread, so the work is always done
// and the results never depend on how many threads ran.
#pragma once

#include <cstdint>
#include <functional>

// Calls work(begin, end) for `shares` contiguous parts of [0, count), the
// first on the calling thread, and returns when all are done.
void parallel_shares(int shares, std::int64_t count, const std::function<void(std::int64_t, std::int64_t)>& work);
