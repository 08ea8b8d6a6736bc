// BitBlt between any two device contexts (memory DCs with bitmaps, window DCs over surfaces).
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi32/device_context.h"
#include "platform/gdi32/device_pixels.h"
#include "platform/gdi32/raster_op.h"

namespace {

struct BlitPlan {
  RECT target;   // view coordinates in the target
  POINT source;  // view coordinates of the source pixel for target.left, target.top
};

// Cuts the transfer to what lies inside both the target's and the source's clip.
bool plan_blit(const DrawTarget& target, const DrawTarget& source, int x, int y, int width, int height,
               int source_x, int source_y, BlitPlan* plan) {
  WideRect wanted{x, y, std::int64_t{x} + width, std::int64_t{y} + height};
  // Where the source's clip lands in the target's logical space.
  std::int64_t shift_x = std::int64_t{x} - source_x - source.origin.x;
  std::int64_t shift_y = std::int64_t{y} - source_y - source.origin.y;
  wanted.left = std::max(wanted.left, source.clip.left + shift_x);
  wanted.top = std::max(wanted.top, source.clip.top + shift_y);
  wanted.right = std::min(wanted.right, source.clip.right + shift_x);
  wanted.bottom = std::min(wanted.bottom, source.clip.bottom + shift_y);
  RECT area = dc_clip_rect(target, wanted);
  if (area.left >= area.right || area.top >= area.bottom) return false;
  plan->target = area;
  plan->source = POINT{static_cast<LONG>(area.left - target.origin.x - shift_x),
                       static_cast<LONG>(area.top - target.origin.y - shift_y)};
  return true;
}

// A copy of the source block, when source and target share pixel memory and could overlap.
struct SourceCopy {
  std::vector<BYTE> bytes;
  PixelView view;
};

// Memory for a top-down block of `width` x `height` pixels in the source's format.
void make_block(const PixelView& source, LONG width, LONG height, SourceCopy* copy) {
  copy->view = source;
  copy->view.width = width;
  copy->view.height = height;
  copy->view.bottom_up = false;
  copy->view.stride = static_cast<LONG>((std::int64_t{width} * source.bits_per_pixel + 31) / 32 * 4);
  copy->bytes.assign(static_cast<size_t>(copy->view.stride) * height, 0);
  copy->view.bits = copy->bytes.data();
}

void copy_block(const PixelView& source, POINT at, LONG width, LONG height, SourceCopy* copy) {
  make_block(source, width, height, copy);
  for (LONG y = 0; y < height; ++y)
    for (LONG x = 0; x < width; ++x)
      if (source.bits_per_pixel >= 24) {
        int size = source.bits_per_pixel / 8;
        std::memcpy(pixel_row(copy->view, y) + x * size, pixel_row(source, at.y + y) + (at.x + x) * size, size);
      } else {
        pixel_write(copy->view, x, y, pixel_read(source, at.x + x, at.y + y));
      }
}

// The source block of a device surface (32-bit pixels), read into memory.
void read_device_block(const DrawTarget& source, POINT at, LONG width, LONG height, SourceCopy* copy) {
  make_block(source.view, width, height, copy);
  device_read(source, RECT{at.x, at.y, at.x + width, at.y + height}, copy->view.bits, copy->view.stride);
}

// Two pixels B, G, R (the low 48 bits) as two pixels B, G, R, 0.
inline std::uint64_t widen_pair(std::uint64_t pair) {
  return (pair & 0xFFFFFFu) | ((pair & 0xFFFFFF000000u) << 8);
}

// B, G, R to B, G, R, 0. Every window repaint of a 24-bit picture comes through here, so
// four pixels are moved at a time, as two overlapping 8-byte reads and two 8-byte writes.
void widen_24_to_32(BYTE* out, const BYTE* in, LONG width) {
  LONG i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; i + 4 <= width; i += 4, in += 12, out += 16) {
      std::uint64_t low, high;  // bytes 0..7 and 4..11 of the four pixels
      std::memcpy(&low, in, sizeof low);
      std::memcpy(&high, in + 4, sizeof high);
      const std::uint64_t pixels[2] = {widen_pair(low), widen_pair(high >> 16)};
      std::memcpy(out, pixels, sizeof pixels);
    }
  }
  for (; i < width; ++i, in += 3, out += 4) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
    out[3] = 0;
  }
}

void copy_row(const PixelView& target, POINT to, const PixelView& source, POINT from, LONG width) {
  BYTE* out = pixel_row(target, to.y);
  const BYTE* in = pixel_row(source, from.y);
  if (target.bits_per_pixel == source.bits_per_pixel && target.bits_per_pixel >= 24) {
    int size = target.bits_per_pixel / 8;
    std::memcpy(out + to.x * size, in + from.x * size, static_cast<size_t>(width) * size);
  } else if (target.bits_per_pixel == 32 && source.bits_per_pixel == 24) {
    widen_24_to_32(out + static_cast<std::ptrdiff_t>(to.x) * 4, in + static_cast<std::ptrdiff_t>(from.x) * 3, width);
  } else {
    for (LONG i = 0; i < width; ++i) pixel_write(target, to.x + i, to.y, pixel_read(source, from.x + i, from.y));
  }
}

void combine_row(const PixelView& target, POINT to, const PixelView* source, POINT from, LONG width, DWORD rop,
                 COLORREF pattern) {
  for (LONG i = 0; i < width; ++i) {
    COLORREF s = source ? pixel_read(*source, from.x + i, from.y) : 0;
    COLORREF d = pixel_read(target, to.x + i, to.y);
    pixel_write(target, to.x + i, to.y, rop_apply(rop, pattern, s, d));
  }
}

// Whether `rows` rows of `width` pixels from `at` repeat one pixel, and its
// colour (24- and 32-bit pictures; memcmp finds the first difference fast).
bool rows_are_plain(const PixelView& from, POINT at, LONG width, LONG rows, COLORREF* colour) {
  if (from.bits_per_pixel != 24 && from.bits_per_pixel != 32) return false;
  const size_t size = static_cast<size_t>(from.bits_per_pixel / 8);
  const BYTE* first = pixel_row(from, at.y) + at.x * size;
  // A row is one pixel repeated when it equals itself shifted by one pixel.
  if (std::memcmp(first + size, first, (width - 1) * size) != 0) return false;
  for (LONG row = 1; row < rows; ++row)
    if (std::memcmp(pixel_row(from, at.y + row) + at.x * size, first, width * size) != 0) return false;
  *colour = pixel_read(from, at.x, at.y);
  return true;
}

// The block lands on a device surface band by band; only a combining
// operation needs the device's pixels first. Plain bands of a copy travel as
// fills: a cleared window, or a picture's plain margins, cost the display a
// request rather than their pixels.
bool blit_to_device(const DrawTarget& target, const RECT& area, const PixelView& from, POINT from_at, DWORD rop,
                    COLORREF pattern) {
  PendingFill plain;
  const bool drawn = device_draw_bands(target, area, rop != SRCCOPY, [&](const PixelView& band, const RECT& band_area) {
    const LONG width = band_area.right - band_area.left;
    const POINT first{from_at.x, from_at.y + (band_area.top - area.top)};
    COLORREF colour = 0;
    if (rop == SRCCOPY && rows_are_plain(from, first, width, band.height, &colour)) {
      pending_fill_add(target, &plain, band_area, colour);
      return false;
    }
    pending_fill_send(target, &plain);
    for (LONG row = 0; row < band.height; ++row) {
      const POINT in{first.x, first.y + row};
      if (rop == SRCCOPY)
        copy_row(band, POINT{0, row}, from, in, width);
      else
        combine_row(band, POINT{0, row}, &from, in, width, rop, pattern);
    }
    return true;
  });
  pending_fill_send(target, &plain);
  return drawn;
}

}  // namespace

BOOL BitBlt(HDC target_dc, int x, int y, int width, int height, HDC source_dc, int source_x, int source_y,
            DWORD rop) {
  DeviceContext* target_context = dc_from(target_dc);
  if (!target_context) return FALSE;
  if (!rop_uses_source(rop)) return PatBlt(target_dc, x, y, width, height, rop);
  DeviceContext* source_context = dc_from(source_dc);
  if (!source_context) return FALSE;
  if (width <= 0 || height <= 0) return TRUE;
  DrawTarget target = dc_target(*target_context);
  DrawTarget source = dc_target(*source_context);
  BlitPlan plan;
  if (!plan_blit(target, source, x, y, width, height, source_x, source_y, &plan)) return TRUE;
  LONG block_width = plan.target.right - plan.target.left;
  LONG block_height = plan.target.bottom - plan.target.top;
  PixelView from = source.view;
  POINT from_at = plan.source;
  SourceCopy copy;
  if (source.device) {
    read_device_block(source, plan.source, block_width, block_height, &copy);
    from = copy.view;
    from_at = POINT{0, 0};
  } else if (source.view.bits == target.view.bits) {
    copy_block(source.view, plan.source, block_width, block_height, &copy);
    from = copy.view;
    from_at = POINT{0, 0};
  }
  COLORREF pattern = target_context->brush->logical.lbColor & 0xFFFFFF;
  if (target.device) return blit_to_device(target, plan.target, from, from_at, rop, pattern) ? TRUE : FALSE;
  for (LONG row = 0; row < block_height; ++row) {
    POINT to{plan.target.left, plan.target.top + row};
    POINT in{from_at.x, from_at.y + row};
    if (rop == SRCCOPY)
      copy_row(target.view, to, from, in, block_width);
    else
      combine_row(target.view, to, &from, in, block_width, rop, pattern);
  }
  return TRUE;
}
