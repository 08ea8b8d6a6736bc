// Saving images to files: the BMP writer is built in, other formats go to the
// encoders registered in the encoder table.
#pragma once

#include <cstdint>

#include "platform/win32/types.h"
#include "runtime/core/registry.h"
#include "runtime/graphics/encoder_table.h"

// Saves image `number` under file_name in the format `format_id`, at `depth`
// bits per pixel (DEPTH_OF_IMAGE: the depth it was created with). 1 on
// success, 0 on failure; a failed save leaves any older file of that name as
// it was.
int image_save(ObjectId number, LPCWSTR file_name, std::uint32_t format_id, int options = SAVE_OPTIONS_DEFAULT,
               int depth = DEPTH_OF_IMAGE);

// Hands 24- or 32-bit pixel rows to the writer of format_id. A 32-bit source
// goes to the encoder's RGBA entry when it has one and the depth is 32 or
// DEPTH_OF_IMAGE; otherwise it is first laid over white as 24 bits.
int image_encode_file(LPCWSTR file_name, const void* pixels, std::uint32_t format_id, int width, int height,
                      int row_size, int source_depth, int row_flags, int options, int depth);
