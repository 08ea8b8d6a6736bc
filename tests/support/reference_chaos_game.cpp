#include "support/reference_chaos_game.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <sstream>

namespace {

// --- The generator: two tables of 17 words, indices 10 apart, seeded by
// s = 1 - s * 0x53A9B4FB, warmed up by 31 steps.
struct Generator {
  std::uint32_t a[17] = {};
  std::uint32_t b[17] = {};
  int i = 0;
  int j = 10;

  static std::uint32_t rotate_right(std::uint32_t v, int n) { return (v >> n) | (v << (32 - n)); }

  std::uint32_t step() {
    const std::uint32_t new_a = rotate_right(b[i], 13) + b[j];
    const std::uint32_t new_b = rotate_right(a[i], 5) + a[j];
    a[i] = new_a;
    b[i] = new_b;
    i = i == 0 ? 16 : i - 1;
    j = j == 0 ? 16 : j - 1;
    return new_a;
  }

  void seed(std::uint32_t s) {
    for (int k = 0; k < 17; ++k) {
      s = 1u - s * 0x53A9B4FBu;
      b[k] = s;
      s = 1u - s * 0x53A9B4FBu;
      a[k] = s;
    }
    i = 0;
    j = 10;
    for (int k = 0; k < 31; ++k) step();
  }

  // 0..max inclusive: the high word of v * (max + 1).
  std::uint32_t next(std::uint32_t max) {
    const std::uint64_t v = step();
    return static_cast<std::uint32_t>((v * (static_cast<std::uint64_t>(max) + 1)) >> 32);
  }
};

struct Map {
  float a, b, c, d, e, f, p;
};

// The built-in table, as its exact float values.
std::vector<Map> builtin_maps() {
  auto bits = [](std::uint32_t word) {
    float value;
    static_assert(sizeof value == sizeof word);
    std::memcpy(&value, &word, sizeof value);
    return value;
  };
  return {
      {bits(0xBE2AAAAB), bits(0xBE2AAAAD), bits(0x3E2AAAAB), bits(0xBE2AAAAD), bits(0), bits(0), bits(0x3E26E979)},
      {bits(0x3F555555), bits(0x3E800000), bits(0xBE800000), bits(0x3F555555), bits(0xBE2AAAAD), bits(0xBE2AAAC1),
       bits(0x3F19999A)},
      {bits(0x3EAAAAAB), bits(0xBDAAAAA6), bits(0x3DAAAAAA), bits(0x3EAAAAAA), bits(0x3DAAAAA6), bits(0x3F2AAAB0),
       bits(0x3E72B021)},
  };
}

std::vector<Map> parse_maps(const std::string& text) {
  std::vector<Map> maps;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    float values[7] = {};
    std::istringstream fields(line);
    int k = 0;
    for (std::string field; k < 7 && std::getline(fields, field, ' '); ++k)
      values[k] = std::strtof(field.c_str(), nullptr);
    maps.push_back({values[0], values[1], values[2], values[3], values[4], values[5], values[6]});
  }
  return maps;
}

struct View {
  float scale_x, scale_y, offset_x, offset_y;
};

// The box made square around its centre and fitted to the 600-pixel canvas.
View square_view(float min_x, float max_x, float min_y, float max_y) {
  if (max_x - min_x < max_y - min_y) {
    min_x = static_cast<float>((static_cast<double>(min_x) + max_x - max_y + min_y) / 2.0);
    max_x = static_cast<float>(static_cast<double>(min_x) + max_y - min_y);
  } else {
    min_y = static_cast<float>((static_cast<double>(min_y) + max_y - max_x + min_x) / 2.0);
    max_y = static_cast<float>(static_cast<double>(min_y) + max_x - min_x);
  }
  const double width = static_cast<double>(max_x) - min_x;
  const double height = static_cast<double>(max_y) - min_y;
  View view;
  view.scale_x = width == 0 ? 1.0f : static_cast<float>(600.0 / width);
  view.scale_y = height == 0 ? 1.0f : static_cast<float>(600.0 / -height);
  view.offset_x = width == 0 ? 300.0f : static_cast<float>(static_cast<double>(min_x) * 600.0 / -width);
  view.offset_y = height == 0 ? 300.0f : static_cast<float>(static_cast<double>(max_y) * 600.0 / height);
  return view;
}

struct Game {
  Generator random;
  std::vector<Map> maps;
  float x = 0, y = 0;
  float scale_x = 1, scale_y = 1, offset_x = 0, offset_y = 0;

  // Weighted choice with r in steps of 0.01; no move when the weights fall short.
  int step() {
    const float r = static_cast<float>(static_cast<double>(random.next(100)) / 100.0);
    float sum = 0;
    for (std::size_t i = 0; i < maps.size(); ++i) {
      sum = static_cast<float>(static_cast<double>(sum) + maps[i].p);
      if (sum >= r) {
        const Map& m = maps[i];
        const double x0 = x, y0 = y;
        x = static_cast<float>(m.a * x0 + m.b * y0 + m.e);
        y = static_cast<float>(m.c * x0 + m.d * y0 + m.f);
        return static_cast<int>(i);
      }
    }
    return 0;
  }

  void measure() {
    x = y = 0;
    for (int k = 0; k <= 100; ++k) step();
    float min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    for (int k = 0; k <= 10000; ++k) {
      step();
      if (min_x > x) min_x = x;
      if (max_x < x) max_x = x;
      if (min_y > y) min_y = y;
      if (max_y < y) max_y = y;
    }
    const View view = square_view(min_x, max_x, min_y, max_y);
    scale_x = view.scale_x;
    scale_y = view.scale_y;
    offset_x = view.offset_x;
    offset_y = view.offset_y;
    x = y = 0;
  }
};

// Truncation toward zero; NaN and values out of range give INT_MIN.
int truncate(double value) {
  if (!(value >= -2147483648.0 && value < 2147483648.0)) return INT_MIN;
  return static_cast<int>(value);
}

constexpr std::uint32_t COLOURS[8] = {0xFFFFFF, 0xFFBEFF, 0xBEFFFF, 0xFFFFBE, 0xBEBEFF, 0xBEFFBE, 0xFFBEBE, 0xFFD2BE};

void put(ReferencePicture& picture, int x, int y, std::uint32_t colour) {
  if (x < 0 || y < 0 || x >= picture.width || y >= picture.height) return;
  picture.pixels[static_cast<std::size_t>(y) * picture.width + x] = colour;
}

// Black canvas, then `batches` timer ticks of 20001 two-pixel points each.
ReferencePicture draw_batches(Game& game, int batches) {
  ReferencePicture picture;
  picture.pixels.assign(static_cast<std::size_t>(picture.width) * picture.height, 0x000000);
  for (int batch = 0; batch < batches; ++batch) {
    for (int point = 0; point <= 20000; ++point) {
      const int map = game.step();
      const float column = static_cast<float>(static_cast<double>(game.scale_x) * game.x + game.offset_x);
      const float row = static_cast<float>(static_cast<double>(game.scale_y) * game.y + game.offset_y);
      const std::uint32_t colour = COLOURS[map & 7];
      put(picture, truncate(column), truncate(row), colour);
      put(picture, truncate(static_cast<double>(column) + 1.0), truncate(row), colour);
    }
  }
  return picture;
}

}  // namespace

ReferencePicture reference_render(const std::string& ifs_text, int batches) {
  Game game;
  game.random.seed(1234);
  game.maps = builtin_maps();
  game.measure();
  game.maps = parse_maps(ifs_text);
  game.measure();
  return draw_batches(game, batches);
}

ReferencePicture reference_render_alone(const std::string& ifs_text, int batches) {
  Game game;
  game.random.seed(1234);
  game.maps = ifs_text.empty() ? builtin_maps() : parse_maps(ifs_text);
  game.measure();
  return draw_batches(game, batches);
}

namespace {

struct SpaceMap {
  float m[12];
  float p;
};

std::vector<SpaceMap> parse_space_maps(const std::string& text) {
  std::vector<SpaceMap> maps;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    SpaceMap map{};
    for (float& value : map.m) fields >> value;
    fields >> map.p;
    maps.push_back(map);
  }
  return maps;
}

struct SpaceGame {
  Generator* random;
  std::vector<SpaceMap> maps;
  bool side;
  float x = 0, y = 0, z = 0;
  float scale_x = 1, scale_y = 1, offset_x = 0, offset_y = 0;

  int step() {
    const float r = static_cast<float>(static_cast<double>(random->next(100)) / 100.0);
    float sum = 0;
    for (std::size_t i = 0; i < maps.size(); ++i) {
      sum = static_cast<float>(static_cast<double>(sum) + maps[i].p);
      if (sum < r) continue;
      const float* m = maps[i].m;
      const double x0 = x, y0 = y, z0 = z;
      x = static_cast<float>(m[0] * x0 + m[1] * y0 + m[2] * z0 + m[9]);
      y = static_cast<float>(m[3] * x0 + m[4] * y0 + m[5] * z0 + m[10]);
      z = static_cast<float>(m[6] * x0 + m[7] * y0 + m[8] * z0 + m[11]);
      return static_cast<int>(i);
    }
    return 0;
  }
  float seen_x() const { return side ? z : x; }

  void measure() {
    x = y = z = 0;
    for (int k = 0; k <= 100; ++k) step();
    float min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    for (int k = 0; k <= 10000; ++k) {
      step();
      min_x = std::min(min_x, seen_x());
      max_x = std::max(max_x, seen_x());
      min_y = std::min(min_y, y);
      max_y = std::max(max_y, y);
    }
    const View view = square_view(min_x, max_x, min_y, max_y);
    scale_x = view.scale_x;
    scale_y = view.scale_y;
    offset_x = view.offset_x;
    offset_y = view.offset_y;
    x = y = z = 0;
  }
};

}  // namespace

ReferencePicture reference_render_space(const std::string& maps_text, bool seen_from_the_side, int batches) {
  Game start_up;
  start_up.random.seed(1234);
  start_up.maps = builtin_maps();
  start_up.measure();
  SpaceGame game{&start_up.random, parse_space_maps(maps_text), seen_from_the_side};
  game.measure();
  ReferencePicture picture;
  picture.pixels.assign(static_cast<std::size_t>(picture.width) * picture.height, 0x000000);
  for (int batch = 0; batch < batches; ++batch) {
    for (int point = 0; point <= 20000; ++point) {
      const int map = game.step();
      const float column = static_cast<float>(static_cast<double>(game.scale_x) * game.seen_x() + game.offset_x);
      const float row = static_cast<float>(static_cast<double>(game.scale_y) * game.y + game.offset_y);
      put(picture, truncate(column), truncate(row), COLOURS[map & 7]);
      put(picture, truncate(static_cast<double>(column) + 1.0), truncate(row), COLOURS[map & 7]);
    }
  }
  return picture;
}
