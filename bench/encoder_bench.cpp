// Saving the application's picture (600 x 600, 24 bits) as PNG, BMP and
// 8-bit BMP, each against the cost nobody can avoid:
// - PNG against zlib deflating the same rows at level 9 in one call;
// - BMP against writing the same bytes with stdio and syncing them to disk,
//   as a save that must not lose the older file has to.
// Prints the best of several runs and the ratio to the baseline.
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "runtime/graphics/bmp_encoder.h"
#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/png_encoder.h"

namespace {

constexpr int SIDE = 600, ROW = 1800, RUNS = 7;

double best_seconds(const std::function<void()>& work) {
  double best = 1e30;
  for (int run = 0; run < RUNS; ++run) {
    auto start = std::chrono::steady_clock::now();
    work();
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds < best) best = seconds;
  }
  return best;
}

// A fractal-like picture: mostly black, a few pastel colours.
std::vector<std::uint8_t> picture() {
  std::vector<std::uint8_t> bytes(ROW * SIDE, 0);
  std::uint32_t state = 1234;
  for (int i = 0; i < 60000; ++i) {
    state = state * 1103515245u + 12345u;
    int x = (state >> 8) % SIDE, y = (state >> 20) % SIDE, colour = state % 8;
    std::uint8_t* p = &bytes[y * ROW + 3 * x];
    p[0] = static_cast<std::uint8_t>(128 + colour * 16);
    p[1] = static_cast<std::uint8_t>(255 - colour * 16);
    p[2] = static_cast<std::uint8_t>(160 + colour * 8);
  }
  return bytes;
}

void report(const char* name, double seconds, const char* baseline, double baseline_seconds) {
  std::printf("%-22s %8.2f ms   baseline %-28s %8.2f ms   ratio %.2f\n", name, seconds * 1e3, baseline,
              baseline_seconds * 1e3, seconds / baseline_seconds);
}

}  // namespace

int main() {
  char folder_template[] = "/tmp/ifs-bench-XXXXXX";
  if (mkdtemp(folder_template) == nullptr) return 1;
  std::string folder = folder_template;
  std::u16string png_name(u"/picture.png"), bmp_name(u"/picture.bmp");
  png_name.insert(0, std::u16string(folder.begin(), folder.end()));
  bmp_name.insert(0, std::u16string(folder.begin(), folder.end()));
  std::vector<std::uint8_t> pixels = picture();

  double png = best_seconds([&] { png_encode_rgb(png_name.c_str(), pixels.data(), SIDE, SIDE, ROW, ROWS_BOTTOM_UP, 7, -1); });
  double deflate = best_seconds([&] {
    uLongf size = compressBound(pixels.size());
    std::vector<Bytef> out(size);
    compress2(out.data(), &size, pixels.data(), pixels.size(), 9);
  });
  report("PNG 24-bit", png, "zlib level 9 of the rows", deflate);

  double bmp = best_seconds([&] { bmp_write_file(bmp_name.c_str(), pixels.data(), ROW, SIDE, SIDE, 24, ROWS_BOTTOM_UP, 7, 24); });
  std::string stdio_name = folder + "/stdio.bin";
  double stdio = best_seconds([&] {
    std::FILE* file = std::fopen(stdio_name.c_str(), "wb");
    std::fwrite(pixels.data(), 1, pixels.size(), file);
    std::fflush(file);
    fsync(fileno(file));
    std::fclose(file);
  });
  report("BMP 24-bit", bmp, "stdio write + fsync", stdio);
  double bmp8 = best_seconds([&] { bmp_write_file(bmp_name.c_str(), pixels.data(), ROW, SIDE, SIDE, 24, ROWS_BOTTOM_UP, 7, 8); });
  report("BMP 8-bit (NeuQuant)", bmp8, "stdio write + fsync", stdio);

  for (const std::string& name : {std::string("/picture.png"), std::string("/picture.bmp"), std::string("/stdio.bin")}) {
    std::remove((folder + name).c_str());
  }
  rmdir(folder.c_str());
  return 0;
}
