// The per-window class name "WindowClass_<number>" (a dynamic id prints as
// its decimal value), and the decimal formatting it shares with other names.
#pragma once

#include <cstdint>
#include <string>

std::u16string decimal_text(std::intmax_t value);
std::u16string window_class_name(std::intptr_t number);
