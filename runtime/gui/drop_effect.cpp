#include "runtime/gui/drop_effect.h"

namespace {

constexpr std::uint32_t KEY_SHIFT = 0x4;     // MK_SHIFT
constexpr std::uint32_t KEY_CONTROL = 0x8;   // MK_CONTROL
constexpr std::uint32_t KEY_ALT = 0x20;      // MK_ALT

}  // namespace

std::uint32_t drop_choose_effect(std::uint32_t key_state, std::uint32_t allowed, std::uint32_t offered) {
  const std::uint32_t both = allowed & offered;
  const std::uint32_t keys = key_state & (KEY_SHIFT | KEY_CONTROL | KEY_ALT);
  if ((both & ACTION_LINK) && (keys == (KEY_CONTROL | KEY_SHIFT) || keys == KEY_ALT)) return ACTION_LINK;
  if ((both & ACTION_MOVE) && (keys == KEY_SHIFT || !(both & ACTION_COPY))) return ACTION_MOVE;
  if (both & ACTION_COPY) return ACTION_COPY;
  return both & ACTION_LINK;
}
