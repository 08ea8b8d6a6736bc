// Text from files and names made safe for a terminal: nothing in it can move
// the cursor, change colours or end the line.
#pragma once

#include <string>
#include <string_view>

// UTF-8 for a terminal: control characters (C0, DEL, C1, line separators and
// direction marks) are written as escapes (\r, \n, \t, \e, \xHH, \u0085); a byte of a name that is not UTF-8
// (U+DC80..U+DCFF) as \xHH; any other lone surrogate as \uDXXX.
std::string terminal_text(std::u16string_view text);
