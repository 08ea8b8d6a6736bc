// NeuQuant colour quantisation (Dekker's self-organising network) in its
// variant with an alpha channel: learns a palette of 4 to 256 colours from a
// sample of the picture. Colour bytes are learned gamma-corrected, so that the
// dark colours the eye tells apart get their share of entries.
#pragma once

#include "platform/win32/types.h"
#include "runtime/graphics/source_pixels.h"

inline constexpr double NEUQUANT_GAMMA = 1.8;
inline constexpr int NEUQUANT_MAX_COLOURS = 256;

// floor((v / 255)^(1 / 1.8) * 255 + 0.5): a colour byte as the network sees it.
BYTE neuquant_gamma_encode(BYTE value);
// floor((v / 255)^1.8 * 255 + 0.5): a learned colour byte mapped back.
BYTE neuquant_gamma_decode(BYTE value);

// The network before learning, in the learning domain (B, G, R, A): entry j of
// n is the gamma-corrected grey of level j * 256 / n, alpha 16 * j for
// j <= 15 and 255 above.
void neuquant_start(int colour_count, BYTE entries[][4]);

// min(pixels / 262144 + 1, 10): large pictures are sampled more sparsely.
int neuquant_sample_factor(int width, int height);

// Learns colour_count (a power of two from 4 to 256) palette colours as
// B, G, R, A bytes of the picture's own (not gamma-corrected) scale.
// False when the count is out of range.
bool neuquant_learn(const SourcePixels& source, int colour_count, BYTE palette[][4]);
