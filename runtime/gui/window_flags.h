// Decoding of window_open's flags into the window style, the extended style
// and the switches that steer the opening.
#pragma once

#include <cstdint>

struct WindowFlags {
  std::uint32_t style;     // still holds the centring bits 0x1 and 0x2
  std::uint32_t ex_style;
  bool become_container;
  bool show;
  bool no_activate;
};

WindowFlags window_flags_decode(std::uint32_t flags);
// The style given to CreateWindowExW: without the runtime's own low bits
// and without the no-activate bit.
std::uint32_t window_flags_create_style(std::uint32_t style);
// The style AdjustWindowRectEx sizes the frame for.
std::uint32_t window_flags_frame_style(std::uint32_t style);
