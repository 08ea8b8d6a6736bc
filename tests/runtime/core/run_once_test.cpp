#include "runtime/core/run_once.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {

std::atomic<int> calls{0};
std::atomic<bool> finished{false};

void slow_initialise() {
  ++calls;
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  finished = true;
}

TEST(RunOnce, RunsTheFunctionOnceAndLaterCallersSeeItFinished) {
  calls = 0;
  finished = false;
  static RunOnceWord word{};
  std::vector<std::thread> threads;
  std::atomic<int> saw_unfinished{0};
  for (int i = 0; i < 6; ++i) {
    threads.emplace_back([&] {
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
