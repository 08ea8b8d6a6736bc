// The command line's fixed cost: the processor time and peak memory of the
// real program, started afresh each time (dynamic loading included), for
// `--version`, `--help` and a render of no ticks (`--batches 0`: start-up,
// load, measure and save, no drawing).
//
// Baselines: 20 ms of processor time and 8 MB of peak memory for each run;
// each figure is printed with its ratio to its baseline (at most 1 meets it).
// The medians of 21 runs are shown: other work on a shared machine only ever
// adds time.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double CPU_BASELINE_MS = 20.0;
constexpr double PEAK_BASELINE_MB = 8.0;
constexpr int RUNS = 21;

struct Run {
  bool ok = false;
  double cpu_ms = 0;
  double peak_mb = 0;
};

double ms_of(const timeval& time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; }

// Runs the program with `arguments`, its output thrown away.
Run run_program(const std::vector<std::string>& arguments) {
  const std::string program = IFS_BINARY_DIR "/ifs-render";
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) return {};
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, STDOUT_FILENO);
      dup2(null, STDERR_FILENO);
    }
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(child, &status, 0, &usage) != child) return {};
  return Run{WIFEXITED(status) && WEXITSTATUS(status) == 0, ms_of(usage.ru_utime) + ms_of(usage.ru_stime),
             usage.ru_maxrss / 1024.0};
}

bool measure(const char* what, const std::vector<std::string>& arguments) {
  std::vector<double> cpu, peak;
  for (int i = 0; i < RUNS; ++i) {
    const Run run = run_program(arguments);
    if (!run.ok) {
      std::fprintf(stderr, "startup_bench: %s failed\n", what);
      return false;
    }
    cpu.push_back(run.cpu_ms);
    peak.push_back(run.peak_mb);
  }
  std::sort(cpu.begin(), cpu.end());
  std::sort(peak.begin(), peak.end());
  const double cpu_ms = cpu[cpu.size() / 2], peak_mb = peak[peak.size() / 2];
  std::printf("%-26s cpu %6.2f ms (baseline %.0f ms, ratio %.2f)   peak %5.2f MB (baseline %.0f MB, ratio %.2f)\n",
              what, cpu_ms, CPU_BASELINE_MS, cpu_ms / CPU_BASELINE_MS, peak_mb, PEAK_BASELINE_MB,
              peak_mb / PEAK_BASELINE_MB);
  return true;
}

}  // namespace

int main() {
  char folder[] = "/tmp/startup_bench.XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string picture = std::string(folder) + "/fern.png";
  std::printf("The program started afresh, medians of %d runs (processor time: user + system)\n", RUNS);
  const bool ok = measure("--version", {"--version"}) && measure("--help", {"--help"}) &&
                  measure("--output, --batches 0",
                          {"--output", picture, IFS_SOURCE_DIR "/examples/fern.ifs", "--batches", "0"});
  unlink(picture.c_str());
  rmdir(folder);
  return ok ? 0 : 1;
}
