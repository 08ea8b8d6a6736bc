// Event codes handed out by event_wait, and the sentinels of the window
// procedures. The codes lie above the system message range (0..0x3FF), so a
// caller can tell them from the raw messages event_wait also returns.
#pragma once

#include <cstdint>

inline constexpr std::int32_t EVENT_GADGET = 13100;
inline constexpr std::int32_t EVENT_MENU = 13101;
inline constexpr std::int32_t EVENT_ACTIVATE = 13104;
inline constexpr std::int32_t EVENT_GADGET_DROP = 13106;
inline constexpr std::int32_t EVENT_MINIMIZE = 13107;
inline constexpr std::int32_t EVENT_MAXIMIZE = 13108;
inline constexpr std::int32_t EVENT_RESTORE = 13109;
inline constexpr std::int32_t EVENT_TIMER = 13110;
inline constexpr std::int32_t EVENT_RIGHT_CLICK = 13111;
inline constexpr std::int32_t EVENT_LEFT_CLICK = 13112;
inline constexpr std::int32_t EVENT_LEFT_DOUBLE_CLICK = 13113;
inline constexpr std::int32_t EVENT_DEACTIVATE = 13114;
inline constexpr std::int32_t EVENT_REPAINT = 13115;
inline constexpr std::int32_t EVENT_CLOSE = 13116;
inline constexpr std::int32_t EVENT_MOVE = 13117;
inline constexpr std::int32_t EVENT_SIZE = 13118;

// Result by which a window procedure of the runtime says "not mine": the
// system default applies.
inline constexpr std::intptr_t NOT_HANDLED = 0xD0D0D0D1;
// Coordinate value meaning "no coordinate given".
inline constexpr std::int32_t COORD_IGNORE = -65535;
