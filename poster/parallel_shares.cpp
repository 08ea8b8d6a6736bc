#include "poster/parallel_shares.h"

#include <system_error>
#include <thread>
#include <vector>

void parallel_shares(int shares, std::int64_t count, const std::function<void(std::int64_t, std::int64_t)>& work) {
  if (shares < 1) shares = 1;
  const auto share_begin = [&](int share) { return count * share / shares; };
  std::vector<std::thread> workers;
  std::vector<int> left_over;
  for (int share = 1; share < shares; ++share) {
    try {
      workers.emplace_back(work, share_begin(share), share_begin(share + 1));
    } catch (const std::system_error&) {
      left_over.push_back(share);
    }
  }
  work(0, share_begin(1));
  for (const int share : left_over) work(share_begin(share), share_begin(share + 1));
  for (std::thread& worker : workers) worker.join();
}
