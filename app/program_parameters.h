// The program's parameters, read from the platform's command line: tokens
// separated by runs of spaces, a token starting with a double quote running
// to the next double quote (quotes dropped, no escapes). The first token is
// the program's own path and is not counted.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Every token of the line, the program path included.
std::vector<std::u16string> program_parameters_split(std::u16string_view line);

// Puts the parameter cursor back to the first parameter.
void program_parameters_reset();
std::int32_t program_parameter_count();
// index >= 0 moves the cursor there first; a negative index reads at the
// cursor. Returns the parameter at the cursor and advances it; the empty
// text past the last parameter.
std::u16string program_parameter(std::int32_t index);

// The file the desktop program loads at start-up: the first parameter, or the
// one after it when the first is "--", which ends the options there as it does
// on the command line. None when there is no such parameter.
std::optional<std::u16string> program_file_parameter();
