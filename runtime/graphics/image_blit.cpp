// blit_rgb24 and blit_rgba32: clipped placement and the per-row pixel transfer.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/graphics/draw_image.h"
#include "runtime/graphics/pixel_writers.h"

namespace {

struct Block {
  const BYTE* pixels;
  int row_size;
  int width, height;
  int pixel_bytes;  // 3 or 4
};

// The visible part of a block placed at (x, y): where it starts in the source and the target.
struct Placement {
  int source_x, source_y;
  int target_x, target_y;
  int width, height;
};

bool place(const DrawingSession* session, const Block& block, int x, int y, Placement* placement) {
  std::int64_t left = std::max<std::int64_t>(x, 0);
  std::int64_t top = std::max<std::int64_t>(y, 0);
  std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + block.width, session->width);
  std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + block.height, session->height);
  if (right <= left || bottom <= top) return false;
  placement->target_x = static_cast<int>(left);
  placement->target_y = static_cast<int>(top);
  placement->source_x = static_cast<int>(left - x);
  placement->source_y = static_cast<int>(top - y);
  placement->width = static_cast<int>(right - left);
  placement->height = static_cast<int>(bottom - top);
  return true;
}

// Source picture line `line` of a bottom-up block.
const BYTE* source_row(const Block& block, int line) {
  return block.pixels + static_cast<std::ptrdiff_t>(block.height - 1 - line) * block.row_size;
}

void copy_colour_bytes(BYTE* out, int out_bytes, const BYTE* in, int in_bytes, int count) {
  for (int i = 0; i < count; ++i, out += out_bytes, in += in_bytes) std::memcpy(out, in, 3);
}

// Everything but the plain copies: one pixel at a time with the effective alpha `a`.
void combine_pixel(const DrawingSession* session, BYTE* out, const BYTE* in, int a) {
  int mode = session->mode;
  if (mode & DRAWING_MODE_CUSTOM) return;  // no per-pixel colour routine in this runtime
  if (mode & DRAWING_MODE_XOR) {
    for (int i = 0; i < 3; ++i) out[i] ^= in[i];
    return;
  }
  if (session->pixel_bytes == 4 && (mode & DRAWING_MODE_ALL_CHANNELS)) {
    std::memcpy(out, in, 3);
    out[3] = static_cast<BYTE>(a);
    return;
  }
  if (mode & DRAWING_MODE_ALPHA_CHANNEL) {
    if (session->pixel_bytes == 4) out[3] = static_cast<BYTE>(a);
    return;
  }
  ColourComponents colour{in[2] * a, in[1] * a, in[0] * a, a, 255 - a};
  if (session->pixel_bytes == 4)
    blend_pixel_4(out, colour);
  else
    blend_pixel_3(out, colour);
}

void transfer_row(const DrawingSession* session, BYTE* out, const BYTE* in, const Block& block, int count, int alpha,
                  bool use_alpha) {
  constexpr int COMBINING = DRAWING_MODE_CUSTOM | DRAWING_MODE_XOR | DRAWING_MODE_ALPHA_CHANNEL |
                            DRAWING_MODE_ALL_CHANNELS;
  constexpr int BLENDING = DRAWING_MODE_ALPHA_BLEND | DRAWING_MODE_ALPHA_CLIP;
  // At 4 bytes per pixel the blend modes also set the target's alpha, so even opaque pixels blend.
  bool plain = !(session->mode & COMBINING) && (session->pixel_bytes == 3 || !(session->mode & BLENDING));
  bool opaque = block.pixel_bytes == 4 ? !use_alpha : alpha == 255;
  if (plain && opaque) {
    if (block.pixel_bytes == 3 && session->pixel_bytes == 3)
      std::memcpy(out, in, static_cast<size_t>(count) * 3);  // whole rows at once
    else
      copy_colour_bytes(out, session->pixel_bytes, in, block.pixel_bytes, count);
    return;
  }
  if (plain && block.pixel_bytes == 3 && alpha == 0) return;
  for (int i = 0; i < count; ++i, out += session->pixel_bytes, in += block.pixel_bytes) {
    int a = block.pixel_bytes == 3 ? alpha : (use_alpha ? in[3] * alpha / 255 : 255);
    combine_pixel(session, out, in, a);
  }
}

bool overlaps_target(const DrawingSession* session, const Block& block) {
  auto target_start = reinterpret_cast<std::uintptr_t>(session->buffer);
  auto target_end = target_start + static_cast<std::uintptr_t>(session->height) * session->row_size;
  auto block_start = reinterpret_cast<std::uintptr_t>(block.pixels);
  auto block_end = block_start + static_cast<std::uintptr_t>(block.height) * block.row_size;
  return block_start < target_end && target_start < block_end;
}

void blit(DrawingSession* session, Block block, int x, int y, int alpha, bool use_alpha) {
  if (!session || !block.pixels || block.width <= 0 || block.height <= 0 || block.row_size <= 0) return;
  Placement placement;
  if (!place(session, block, x, y, &placement)) return;
  // A picture drawn onto itself is read from a copy, so that no row is read after it was written.
  std::vector<BYTE> copy;
  if (overlaps_target(session, block)) {
    copy.assign(block.pixels, block.pixels + static_cast<std::ptrdiff_t>(block.height) * block.row_size);
    block.pixels = copy.data();
  }
  alpha = std::clamp(alpha, 0, 255);
  for (int line = 0; line < placement.height; ++line) {
    BYTE* out = pixel_address(session, placement.target_x, placement.target_y + line);
    const BYTE* in = source_row(block, placement.source_y + line) + placement.source_x * block.pixel_bytes;
    transfer_row(session, out, in, block, placement.width, alpha, use_alpha);
  }
}

}  // namespace

void blit_rgb24(DrawingSession* session, const BYTE* pixels, int row_size, int x, int y, int width, int height,
                int alpha) {
  blit(session, Block{pixels, row_size, width, height, 3}, x, y, alpha, false);
}

void blit_rgba32(DrawingSession* session, const BYTE* pixels, int row_size, int x, int y, int width, int height,
                 int alpha, bool use_alpha) {
  blit(session, Block{pixels, row_size, width, height, 4}, x, y, alpha, use_alpha);
}
