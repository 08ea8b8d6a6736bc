#include "runtime/graphics/palette.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "runtime/graphics/encoder_table.h"
#include "runtime/graphics/neuquant.h"
#include "runtime/graphics/source_pixels.h"

namespace {

constexpr double WHITE_THRESHOLD = 160.0;
// Pictures repeat their colours; remembering recent answers spares most of
// the searches through 256 entries.
constexpr int CACHE_SIZE = 4096;
// Floyd-Steinberg shares of the error, in sixteenths.
constexpr int SHARE_RIGHT = 7, SHARE_BELOW_LEFT = 3, SHARE_BELOW = 5, SHARE_BELOW_RIGHT = 1, SHARE_TOTAL = 16;

struct CacheEntry {
  std::uint32_t key;
  std::int32_t index;  // -1: empty
};

struct IndexChooser {
  const PaletteImage* image;
  CacheEntry* cache;  // null at depth 1, which needs no search
};

int threshold_index(const int bgra[4]) {
  double luma = 0.2126 * bgra[2] + 0.7152 * bgra[1] + 0.0722 * bgra[0];
  return luma > WHITE_THRESHOLD ? 1 : 0;
}

// Nearest entry: colour differences count less the more transparent the
// pixel is, since they show less; alpha differences count in full.
int search_nearest(const PaletteImage& image, const int bgra[4]) {
  double transparency = 1.0 - bgra[3] / 255.0;
  double colour_weight = 1.0 - transparency * transparency;
  double best_distance = 0;
  int best = 0;
  for (int j = 0; j < image.colour_count; ++j) {
    const BYTE* entry = image.colours[j];
    double db = bgra[0] - entry[0], dg = bgra[1] - entry[1], dr = bgra[2] - entry[2], da = bgra[3] - entry[3];
    double distance = colour_weight * (db * db + dg * dg + dr * dr) + da * da;
    if (j == 0 || distance < best_distance) {
      best_distance = distance;
      best = j;
    }
  }
  return best;
}

int choose_index(const IndexChooser& chooser, const int bgra[4]) {
  if (chooser.cache == nullptr) return threshold_index(bgra);
  std::uint32_t key = static_cast<std::uint32_t>(bgra[0]) | static_cast<std::uint32_t>(bgra[1]) << 8 |
                      static_cast<std::uint32_t>(bgra[2]) << 16 | static_cast<std::uint32_t>(bgra[3]) << 24;
  CacheEntry& slot = chooser.cache[(key * 2654435761u) >> 20];
  if (slot.index < 0 || slot.key != key) slot = CacheEntry{key, search_nearest(*chooser.image, bgra)};
  return slot.index;
}

void put_index(BYTE* row, int x, int depth, int index) {
  long long bit = static_cast<long long>(x) * depth;
  int shift = 8 - depth - static_cast<int>(bit % 8);
  row[bit / 8] |= static_cast<BYTE>(index << shift);
}

int clamp_byte(int value) { return value < 0 ? 0 : value > 255 ? 255 : value; }

// Error rows hold sixteenths, one pixel of margin on either side.
struct Diffusion {
  int* current;
  int* next;
};

void map_row(const IndexChooser& chooser, const SourcePixels& source, int y, Diffusion* diffusion, BYTE* out) {
  const PaletteImage& image = *chooser.image;
  for (int x = 0; x < source.width; ++x) {
    BYTE pixel[4];
    source_pixel_bgra(source, x, y, pixel);
    int wanted[4];
    for (int c = 0; c < 4; ++c) {
      int carried = diffusion != nullptr ? diffusion->current[(x + 1) * 4 + c] / SHARE_TOTAL : 0;
      wanted[c] = clamp_byte(pixel[c] + carried);
    }
    int index = choose_index(chooser, wanted);
    put_index(out, x, image.depth, index);
    if (diffusion == nullptr) continue;
    for (int c = 0; c < 4; ++c) {
      int error = wanted[c] - image.colours[index][c];
      diffusion->current[(x + 2) * 4 + c] += error * SHARE_RIGHT;
      diffusion->next[x * 4 + c] += error * SHARE_BELOW_LEFT;
      diffusion->next[(x + 1) * 4 + c] += error * SHARE_BELOW;
      diffusion->next[(x + 2) * 4 + c] += error * SHARE_BELOW_RIGHT;
    }
  }
}

void advance_diffusion(Diffusion* diffusion, int width) {
  int* done = diffusion->current;
  diffusion->current = diffusion->next;
  diffusion->next = done;
  std::memset(done, 0, sizeof(int) * 4 * (static_cast<std::size_t>(width) + 2));
}

bool map_pixels(PaletteImage* image, const SourcePixels& source, bool diffuse) {
  IndexChooser chooser{image, nullptr};
  if (image->depth > 1) {
    chooser.cache = static_cast<CacheEntry*>(std::malloc(sizeof(CacheEntry) * CACHE_SIZE));
    if (chooser.cache == nullptr) return false;
    for (int i = 0; i < CACHE_SIZE; ++i) chooser.cache[i] = CacheEntry{0, -1};
  }
  Diffusion diffusion{nullptr, nullptr};
  int* error_rows = nullptr;
  if (diffuse) {
    error_rows = static_cast<int*>(std::calloc((static_cast<std::size_t>(source.width) + 2) * 8, sizeof(int)));
    if (error_rows == nullptr) {
      std::free(chooser.cache);
      return false;
    }
    diffusion = Diffusion{error_rows, error_rows + (static_cast<std::size_t>(source.width) + 2) * 4};
  }
  for (int y = 0; y < source.height; ++y) {
    map_row(chooser, source, y, diffuse ? &diffusion : nullptr,
            image->index_rows + static_cast<std::ptrdiff_t>(y) * image->row_size);
    if (diffuse) advance_diffusion(&diffusion, source.width);
  }
  std::free(error_rows);
  std::free(chooser.cache);
  return true;
}

void set_black_and_white(PaletteImage* image) {
  static const BYTE BLACK_AND_WHITE[2][4] = {{0, 0, 0, 255}, {255, 255, 255, 255}};
  std::memcpy(image->colours, BLACK_AND_WHITE, sizeof BLACK_AND_WHITE);
}

bool allocate_index_rows(PaletteImage* image) {
  std::int64_t packed = (std::int64_t{image->width} * image->depth + 7) / 8;
  std::int64_t row_size = (packed + 3) / 4 * 4;
  if (row_size > INT32_MAX || row_size * image->height > PTRDIFF_MAX) return false;
  image->row_size = static_cast<int>(row_size);
  image->index_rows = static_cast<BYTE*>(std::calloc(static_cast<std::size_t>(row_size * image->height), 1));
  return image->index_rows != nullptr;
}

bool supported_depth(int depth) { return depth == 1 || depth == 2 || depth == 4 || depth == 8; }

}  // namespace

bool palette_build(PaletteImage* image, const void* pixels, int width, int height, int source_depth,
                   int row_size, int depth, int options) {
  std::memset(image, 0, sizeof *image);
  SourcePixels source;
  if (!supported_depth(depth) || !source_pixels_make(&source, pixels, width, height, row_size, source_depth)) {
    return false;
  }
  *image = PaletteImage{{}, 1 << depth, depth, width, height, 0, nullptr};
  if (depth == 1) {
    set_black_and_white(image);
  } else if (!neuquant_learn(source, image->colour_count, image->colours)) {
    return false;
  }
  if (!allocate_index_rows(image)) return false;
  if (!map_pixels(image, source, (options & SAVE_OPTION_ERROR_DIFFUSION) != 0)) {
    palette_free(image);
    return false;
  }
  return true;
}

void palette_free(PaletteImage* image) {
  std::free(image->index_rows);
  image->index_rows = nullptr;
}
