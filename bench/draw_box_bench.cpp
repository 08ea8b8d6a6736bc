// The fractal's point plotter: one timer tick of 1 x 1 boxes (20001 points,
// two boxes each) on a 600 x 600 24-bit session, against a baseline loop that
// writes the same pixels straight into the same memory with the same clipping.
// Prints both and their ratio (the plotter should stay within twice the loop).
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

#include "runtime/core/heaps.h"
#include "runtime/graphics/draw_box.h"
#include "runtime/graphics/drawing_session.h"
#include "runtime/graphics/image.h"

namespace {

constexpr int SIDE = 600, ROW = 1800, POINTS = 20001, RUNS = 25;

struct Point {
  std::int32_t x, y;
  std::uint32_t colour;
};

// Points spread over the canvas and a margin around it, so that clipping is
// exercised as when a fractal reaches past the view.
std::vector<Point> tick_points() {
  static const std::uint32_t COLOURS[] = {0xFFFFFF, 0xFFBEFF, 0xBEFFFF, 0xFFFFBE};
  std::vector<Point> points;
  std::uint32_t state = 1234;
  for (int i = 0; i < POINTS; ++i) {
    state = state * 1103515245u + 12345u;
    const std::int32_t x = static_cast<std::int32_t>((state >> 4) % 640) - 20;
    const std::int32_t y = static_cast<std::int32_t>((state >> 14) % 640) - 20;
    points.push_back({x, y, COLOURS[(state >> 28) % 4]});
  }
  return points;
}

double best_seconds(const std::function<void()>& work) {
  double best = 1e30;
  for (int run = 0; run < RUNS; ++run) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (seconds < best) best = seconds;
  }
  return best;
}

void plot_with_boxes(const std::vector<Point>& points) {
  for (const Point& point : points) {
    draw_box(point.x, point.y, 1, 1, point.colour);
    draw_box(point.x + 1, point.y, 1, 1, point.colour);
  }
}

void store_pixel(std::uint8_t* bits, std::int32_t x, std::int32_t y, std::uint32_t colour) {
  if (x < 0 || x >= SIDE || y < 0 || y >= SIDE) return;
  std::uint8_t* pixel = bits + (SIDE - 1 - y) * ROW + 3 * x;
  pixel[0] = static_cast<std::uint8_t>(colour >> 16);
  pixel[1] = static_cast<std::uint8_t>(colour >> 8);
  pixel[2] = static_cast<std::uint8_t>(colour);
}

void plot_directly(std::uint8_t* bits, const std::vector<Point>& points) {
  for (const Point& point : points) {
    store_pixel(bits, point.x, point.y, point.colour);
    store_pixel(bits, point.x + 1, point.y, point.colour);
  }
}

}  // namespace

int main() {
  if (!main_heap_create() || !image_library_init() || !drawing_library_init()) return 1;
  if (image_create(0, SIDE, SIDE) == 0) return 1;
  DrawingSession* session = image_output(0);
  if (session == nullptr || drawing_begin(session) == 0) return 1;
  auto* bits = static_cast<std::uint8_t*>(session->buffer);

  const std::vector<Point> points = tick_points();
  // The baseline's stores must not be optimised away: the sum reads them.
  const double boxes = best_seconds([&] { plot_with_boxes(points); });
  const double direct = best_seconds([&] { plot_directly(bits, points); });
  unsigned checksum = 0;
  for (int i = 0; i < ROW * SIDE; ++i) checksum += bits[i];

  std::printf("One tick: %d points, %d boxes of 1 x 1 on a %d x %d 24-bit session (checksum %u)\n", POINTS,
              2 * POINTS, SIDE, SIDE, checksum);
  std::printf("%-26s %10.1f us\n", "draw_box", boxes * 1e6);
  std::printf("%-26s %10.1f us\n", "baseline: direct stores", direct * 1e6);
  std::printf("%-26s %10.2f   (target: at most 2)\n", "ratio", boxes / direct);
  drawing_end();
  image_free_all();
  main_heap_destroy();
  return 0;
}
