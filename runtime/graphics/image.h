// Images: off-screen bottom-up DIB sections registered under object numbers.
#pragma once

#include <cstdint>

#include "runtime/core/registry.h"
#include "runtime/graphics/dib.h"

struct ImageObject {
  BitmapHandle bitmap;  // 0: the record holds no image (an icon handle for icon images)
  std::int16_t width;
  std::int16_t height;
  std::uint8_t depth;
  std::uint8_t creation_depth;  // what image_save uses for depth -1
};

// The largest width or height an image record can hold.
inline constexpr int IMAGE_SIZE_LIMIT = 32767;

// Creates the image registry; false when the main heap cannot hold it.
bool image_library_init();
// Returns the bitmap handle for a numbered image, the dynamic id for AUTO_ID, 0 on failure.
// `background` is 0xBBGGRR; -1 makes a 32-bit image entirely transparent.
std::intptr_t image_create(ObjectId number, int width, int height, int depth = 24, std::int32_t background = 0);
// Nonzero if an image was freed; -1 frees every image and returns 0.
int image_free(ObjectId number);
void image_free_all();
// The live image under a number or dynamic id, else null.
ImageObject* image_lookup(ObjectId id);
ObjectRegistry* image_registry();
