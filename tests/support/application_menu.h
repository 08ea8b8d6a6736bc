// The application's File menu, as both the menu tests and the session
// scenario build it.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t CONTROL_O = 0x2004F;
inline constexpr std::uint32_t CONTROL_S = 0x20053;

// Window 0 gets "File" with Open… and Save…, a separator and Quit; Ctrl+O and
// Ctrl+S choose the first two items.
void build_application_menu();
