// The pixel layout every picture of the graphics runtime shares: bottom-up DIB sections whose
// rows are padded to a multiple of 4 bytes.
#pragma once

#include "platform/win32/gdi32.h"

using BitmapHandle = HBITMAP;

// Bytes per row of a DIB `width` pixels wide at `depth` bits per pixel.
int dib_stride(int width, int depth);
// A zero-filled bottom-up DIB section; depths below 24 give 24 bits. 0 on failure.
BitmapHandle dib_create(int width, int height, int depth);
