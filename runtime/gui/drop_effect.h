// Which effect a drop gets, from the actions a control allows, the effects
// the drag source offers and the modifier keys held.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t ACTION_COPY = 1;
inline constexpr std::uint32_t ACTION_MOVE = 2;
inline constexpr std::uint32_t ACTION_LINK = 4;

// Link with Ctrl+Shift or Alt alone; move with Shift alone or when copy is not
// possible; else copy; else link; else 0 (no drop).
std::uint32_t drop_choose_effect(std::uint32_t key_state, std::uint32_t allowed, std::uint32_t offered);
