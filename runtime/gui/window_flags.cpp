#include "runtime/gui/window_flags.h"

#include "platform/win32/user32.h"
#include "runtime/gui/window.h"

namespace {

constexpr std::uint32_t RUNTIME_LOW_BITS = 0x7;
// A tool window has a caption but no minimize or maximize state or boxes.
constexpr std::uint32_t TOOL_WINDOW_STYLE_MASK = 0xDEFCFFFF;
constexpr std::uint32_t PLAIN_FLAG_BITS = WINDOW_CENTRE_SCREEN | WINDOW_CENTRE_PARENT | WINDOW_INVISIBLE;

}  // namespace

WindowFlags window_flags_decode(std::uint32_t flags) {
  WindowFlags decoded{};
  decoded.become_container = !(flags & WINDOW_NO_CONTAINER);
  flags &= ~WINDOW_NO_CONTAINER;
  decoded.show = !(flags & WINDOW_INVISIBLE);
  decoded.no_activate = (flags & WINDOW_NO_ACTIVATE) != 0;
  std::uint32_t style = flags & ~WINDOW_INVISIBLE;
  // Nothing but placement asked for: a plain captioned window.
  if (!(flags & ~PLAIN_FLAG_BITS)) style |= WS_CAPTION;
  if (flags & WINDOW_TOOL) {
    decoded.ex_style |= WS_EX_TOOLWINDOW;
    style = (style & TOOL_WINDOW_STYLE_MASK) | WS_CAPTION;
  }
  decoded.style = style;
  return decoded;
}

std::uint32_t window_flags_create_style(std::uint32_t style) {
  return style & ~(RUNTIME_LOW_BITS | WINDOW_NO_ACTIVATE);
}

std::uint32_t window_flags_frame_style(std::uint32_t style) { return style & ~RUNTIME_LOW_BITS; }
