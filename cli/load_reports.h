// What the command line prints on standard error about a load: each message
// box the loader showed, as "caption: text", and then one line a script can
// act on, "ifs-render: FILE:LINE: what was wrong" or "ifs-render: FILE:
// the system's reason". The message boxes keep their texts; the detail is
// only printed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/loader.h"

std::string utf8_from(std::u16string_view text);

// Both made safe for a terminal.
std::string message_box_line(std::u16string_view caption, std::u16string_view text);
// Empty when the load has nothing to add to its message box.
std::string load_detail_line(const LoadOutcome& outcome);
// The message boxes the load showed, then its detail line; true when it
// showed any.
bool report_load_messages(const LoadOutcome& outcome, std::FILE* errors);
// A warning line for each field of a loaded seven-number file that is not a
// number, and one counting those beyond the first few; none when every field
// is a number.
std::vector<std::string> load_warning_lines(const LoadOutcome& outcome);
// For a refused file that reads as a table of the block format without its
// header: how to make it load. Empty otherwise.
std::string load_hint_line(const LoadOutcome& outcome);
