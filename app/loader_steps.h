// The loader's steps that both of its formats take: its messages, the table
// resized and filled the same way from lines of seven numbers, and the end of
// a successful load. Used by loader.cpp and loader_library.cpp only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/ifs_table.h"
#include "app/loader.h"

inline constexpr const char16_t* LOAD_CAPTION = u"Load IFS";
inline constexpr const char16_t* LINE_CAPTION = u"IFS load";

// A message box with an OK button.
void loader_show(const char16_t* caption, const std::u16string& text);
std::u16string loader_number_text(std::int64_t number);

// The outcome of the load under way, for the steps to fill in.
LoadOutcome& loader_outcome();

// False, after saying so, when the table cannot hold that many maps; the
// table is then as it was.
bool loader_resize_table(std::int64_t count, const std::u16string& shown);
// Parameter k of the map is field k + 1 of the line, split at single spaces.
void loader_fill_map(IfsTable& table, std::int32_t map, std::u16string_view line);
// Measure, point to the origin, clear, start the timer on the first success.
void loader_finish();
