// One piece of work run in a child process of its own, so that its peak
// resident size is its own and not the largest of the runs so far: its exit
// status, wall-clock and processor seconds and peak memory.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

struct ChildRun {
  bool ok = false;  // exited with status 0
  double seconds = 0;
  double cpu_seconds = 0;
  long peak_kib = 0;
};

// `work` returns the child's exit status.
template <typename Work>
ChildRun run_in_child(Work work) {
  ChildRun run;
  const auto begin = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) return run;
  if (child == 0) std::_Exit(work());
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
  run.peak_kib = usage.ru_maxrss;
  const auto seconds_of = [](const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec * 1e-6; };
  run.cpu_seconds = seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime);
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}
