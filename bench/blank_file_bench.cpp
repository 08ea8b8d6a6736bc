// Files of zeros or blank lines through the loader, by --list (the loader's
// checks without a render):
//  - a 2 GiB sparse file of zeros, refused on its first line; baseline: the
//    fern, so the ratio is what the refusal costs beyond any small file;
//  - a library whose one table is followed by 512 MiB of zeros, read to its
//    end; baseline: reading the same bytes with read() in 64 KiB pieces.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "cli/offscreen_render.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr long long MEBIBYTE = 1 << 20;

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

bool write_file(const std::string& path, const std::string& text, long long size) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  std::fputs(text.c_str(), file);
  std::fclose(file);
  return truncate(path.c_str(), size) == 0;
}

double list_seconds(const std::string& path) {
  std::FILE* sink = std::fopen("/dev/null", "w");
  const Clock::time_point start = Clock::now();
  ifs_render_main({"--list", path}, sink, sink);
  const double seconds = seconds_since(start);
  std::fclose(sink);
  return seconds;
}

double read_seconds(const std::string& path) {
  const int file = open(path.c_str(), O_RDONLY);
  std::vector<char> piece(1 << 16);
  const Clock::time_point start = Clock::now();
  while (read(file, piece.data(), piece.size()) > 0) {
  }
  const double seconds = seconds_since(start);
  close(file);
  return seconds;
}

}  // namespace

int main() {
  char folder_template[] = "/tmp/ifs-blank-bench.XXXXXX";
  const char* folder = mkdtemp(folder_template);
  if (!folder) return 1;
  const std::string fern = std::string(folder) + "/fern.ifs", zeros = std::string(folder) + "/zeros.ifs",
                    padded = std::string(folder) + "/padded.ifs";
  const std::string fern_text = "0 0 0 0.16 0 0 0.01\n0.85 0.04 -0.04 0.85 0 1.6 0.85\n";
  const std::string library_text = "fern {\n0 0 0 .16 0 0 .01\n.85 .04 -.04 .85 0 1.6 .85\n}\n";
  if (!write_file(fern, fern_text, static_cast<long long>(fern_text.size())) || !write_file(zeros, "", 2048 * MEBIBYTE) ||
      !write_file(padded, library_text, static_cast<long long>(library_text.size()) + 512 * MEBIBYTE))
    return 1;

  list_seconds(fern);  // warm up
  const double small = list_seconds(fern);
  const double refused = list_seconds(zeros);
  std::printf("2 GiB of zeros refused: %.4f s; the fern: %.4f s; ratio %.2f\n", refused, small, refused / small);
  const double read_only = read_seconds(padded);
  const double library = list_seconds(padded);
  std::printf("library with 512 MiB of zeros read: %.3f s; read() of its bytes: %.3f s; ratio %.2f\n", library,
              read_only, library / read_only);
  for (const std::string& path : {fern, zeros, padded}) unlink(path.c_str());
  rmdir(folder);
  return 0;
}
