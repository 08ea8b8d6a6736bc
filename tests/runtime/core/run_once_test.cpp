#include "runtime/core/run_once.h"

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

constexpr int THREADS = 6;
std::atomic<int> calls{0};
std::atomic<int> arrived{0};
std::atomic<bool> finished{false};

// Holds the once open until every thread has come to it, so that the others
// really find it running.
void slow_initialise() {
  ++calls;
  while (arrived.load() < THREADS) std::this_thread::yield();
  finished = true;
}

TEST(RunOnce, RunsTheFunctionOnceAndLaterCallersSeeItFinished) {
  calls = 0;
  arrived = 0;
  finished = false;
  static RunOnceWord word{};
  std::vector<std::thread> threads;
  std::atomic<int> saw_unfinished{0};
  for (int i = 0; i < THREADS; ++i) {
    threads.emplace_back([&] {
      ++arrived;
      run_once(&word, slow_initialise);
      if (!finished) ++saw_unfinished;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(saw_unfinished, 0) << "nobody returns before the function has";
  run_once(&word, slow_initialise);
  EXPECT_EQ(calls, 1);

  static RunOnceWord other{};
  run_once(&other, slow_initialise);
  EXPECT_EQ(calls, 2) << "each word has its own once";
}

}  // namespace
