#include "platform/gdi32/device_pixels.h"

namespace {

constexpr LONG BAND_BYTES = 16 * 1024;

}  // namespace

LONG device_band_rows(LONG width) { return std::max<LONG>(1, BAND_BYTES / std::max<LONG>(1, width * 4)); }

void device_read(const DrawTarget& target, const RECT& area, BYTE* pixels, LONG stride) {
  target.device->device->read(target.device->device_data, &area, pixels, stride);
  // GDI leaves the fourth byte 0, whatever the display keeps there.
  for (LONG y = 0; y < area.bottom - area.top; ++y) {
    BYTE* row = pixels + static_cast<size_t>(y) * stride;
    for (LONG x = 0; x < area.right - area.left; ++x) row[x * 4 + 3] = 0;
  }
}

void device_write(const DrawTarget& target, const RECT& area, const BYTE* pixels, LONG stride) {
  target.device->device->write(target.device->device_data, &area, pixels, stride);
}

void device_fill(const DrawTarget& target, const RECT& area, COLORREF colour) {
  if (area.left < area.right && area.top < area.bottom)
    target.device->device->fill(target.device->device_data, &area, colour & 0xFFFFFF);
}

void pending_fill_send(const DrawTarget& target, PendingFill* fill) {
  if (fill->held) device_fill(target, fill->area, fill->colour);
  fill->held = false;
}

void pending_fill_add(const DrawTarget& target, PendingFill* fill, const RECT& band_area, COLORREF colour) {
  if (fill->held && fill->colour == colour && fill->area.bottom == band_area.top) {
    fill->area.bottom = band_area.bottom;
    return;
  }
  pending_fill_send(target, fill);
  *fill = PendingFill{band_area, colour, true};
}
