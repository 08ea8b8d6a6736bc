#include "runtime/graphics/image_save.h"

#include "platform/win32/gdi32.h"
#include "runtime/graphics/image.h"

int image_save(ObjectId number, LPCWSTR file_name, std::uint32_t format_id, int options, int depth) {
  if (file_name == nullptr || file_name[0] == 0) return 0;
  ImageObject* image = image_lookup(number);
  if (image == nullptr) return 0;
  // Only a DIB section has pixel memory to hand to a writer (an icon has not).
  DIBSECTION section{};
  if (GetObjectW(image->bitmap, sizeof section, &section) != static_cast<int>(sizeof section) ||
      section.dsBm.bmBits == nullptr) {
    return 0;
  }
  if (depth == DEPTH_OF_IMAGE) depth = image->creation_depth;
  return image_encode_file(file_name, section.dsBm.bmBits, format_id, image->width, image->height,
                           dib_stride(section.dsBm.bmWidth, section.dsBm.bmBitsPixel), image->depth, ROWS_BOTTOM_UP,
                           options, depth);
}
