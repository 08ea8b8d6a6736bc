// Texts between UTF-16 and a narrow code page, through the platform's
// conversions; empty when a text cannot be converted.
#pragma once

#include <string>
#include <string_view>

#include "platform/win32/types.h"

std::u16string text_from_code_page(UINT code_page, std::string_view text);
std::string text_to_code_page(UINT code_page, std::u16string_view text);
