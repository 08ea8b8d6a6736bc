#include "reference_streams.h"

namespace {

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

  explicit Generator(std::uint32_t s) {
    for (int k = 0; k < 17; ++k) {
      s = 1u - s * 0x53A9B4FBu;
      b[k] = s;
      s = 1u - s * 0x53A9B4FBu;
      a[k] = s;
    }
    for (int k = 0; k < 31; ++k) step();
  }
};

std::uint32_t chunk_seed(std::uint32_t seed, std::uint64_t chunk) {
  std::uint64_t z = (std::uint64_t{seed} << 32) + chunk + 0x9E3779B97F4A7C15ull;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return static_cast<std::uint32_t>(z ^ (z >> 31));
}

// The map r picks by the running weights, or -1.
template <typename Map>
int chosen_map(Generator& random, const std::vector<Map>& maps) {
  const auto k = static_cast<std::uint32_t>((std::uint64_t{random.step()} * 101) >> 32);
  const float r = static_cast<float>(static_cast<double>(k) / 100.0);
  float sum = 0;
  for (std::size_t i = 0; i < maps.size(); ++i) {
    sum = static_cast<float>(static_cast<double>(sum) + maps[i].p);
    if (sum >= r) return static_cast<int>(i);
  }
  return -1;
}

int step(Generator& random, const std::vector<ReferenceMap>& maps, float& x, float& y) {
  const int map = chosen_map(random, maps);
  if (map < 0) return map;
  const ReferenceMap& m = maps[static_cast<std::size_t>(map)];
  const double x0 = x, y0 = y;
  x = static_cast<float>(m.a * x0 + m.b * y0 + m.e);
  y = static_cast<float>(m.c * x0 + m.d * y0 + m.f);
  return map;
}

int space_step(Generator& random, const std::vector<ReferenceSpaceMap>& maps, float& x, float& y, float& z) {
  const int map = chosen_map(random, maps);
  if (map < 0) return map;
  const float* m = maps[static_cast<std::size_t>(map)].m;
  const double x0 = x, y0 = y, z0 = z;
  x = static_cast<float>(m[0] * x0 + m[1] * y0 + m[2] * z0 + m[9]);
  y = static_cast<float>(m[3] * x0 + m[4] * y0 + m[5] * z0 + m[10]);
  z = static_cast<float>(m[6] * x0 + m[7] * y0 + m[8] * z0 + m[11]);
  return map;
}

}  // namespace

void reference_space_points(const std::vector<ReferenceSpaceMap>& maps, std::uint32_t seed, std::int64_t points,
                            const std::function<void(float x, float y, float z, int map)>& visit) {
  constexpr std::int64_t CHUNK = 65536;
  for (std::int64_t first = 0; first < points; first += CHUNK) {
    Generator random(chunk_seed(seed, static_cast<std::uint64_t>(first / CHUNK)));
    float x = 0, y = 0, z = 0;
    for (int k = 0; k < 100; ++k) space_step(random, maps, x, y, z);
    for (std::int64_t n = first; n < points && n < first + CHUNK; ++n) {
      const int map = space_step(random, maps, x, y, z);
      visit(x, y, z, map);
    }
  }
}

void reference_points(const std::vector<ReferenceMap>& maps, std::uint32_t seed, std::int64_t points,
                      const std::function<void(float x, float y, int map)>& visit) {
  constexpr std::int64_t CHUNK = 65536;
  for (std::int64_t first = 0; first < points; first += CHUNK) {
    Generator random(chunk_seed(seed, static_cast<std::uint64_t>(first / CHUNK)));
    float x = 0, y = 0;
    for (int k = 0; k < 100; ++k) step(random, maps, x, y);
    for (std::int64_t n = first; n < points && n < first + CHUNK; ++n) {
      const int map = step(random, maps, x, y);
      visit(x, y, map);
    }
  }
}
