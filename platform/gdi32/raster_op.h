// Ternary raster operations: the high word's low byte is the truth table over pattern, source
// and destination bits, applied to every bit of the colours.
#pragma once

#include "platform/win32/gdi32.h"

inline int rop3_of(DWORD rop) { return static_cast<int>((rop >> 16) & 0xFF); }
inline bool rop_uses_source(DWORD rop) { return (((rop3_of(rop) >> 2) ^ rop3_of(rop)) & 0x33) != 0; }
inline bool rop_uses_pattern(DWORD rop) { return (((rop3_of(rop) >> 4) ^ rop3_of(rop)) & 0x0F) != 0; }

inline COLORREF rop_apply(DWORD rop, COLORREF pattern, COLORREF source, COLORREF target) {
  int table = rop3_of(rop);
  DWORD result = 0;
  for (int index = 0; index < 8; ++index) {
    if (!((table >> index) & 1)) continue;
    DWORD p = (index & 4) ? pattern : ~pattern;
    DWORD s = (index & 2) ? source : ~source;
    DWORD d = (index & 1) ? target : ~target;
    result |= p & s & d;
  }
  return result & 0xFFFFFF;
}
