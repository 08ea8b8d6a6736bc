// The loader's steps that both of its formats take: its messages, the table
// resized and filled the same way from lines of seven numbers, and the end of
// a successful load. Used by loader.cpp and loader_library.cpp only.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/ifs_table.h"
#include "app/loader.h"
#include "app/space_maps.h"

inline constexpr const char16_t* LOAD_CAPTION = u"Load IFS";
inline constexpr const char16_t* LINE_CAPTION = u"IFS load";

// A message box with an OK button.
void loader_show(const char16_t* caption, const std::u16string& text);
std::u16string loader_number_text(std::int64_t number);

// The outcome of the load under way, for the steps to fill in.
LoadOutcome& loader_outcome();

// Makes `table` (a new, empty one) hold `count` zero maps; false, after
// saying so, when it cannot. The loaded table is untouched either way.
bool loader_new_table(std::int64_t count, const std::u16string& shown, IfsTable& table);
// Parameter k of the map is field k + 1 of the line, split at single spaces.
void loader_fill_map(IfsTable& table, std::int32_t map, std::u16string_view line);
// The new table replaces the loaded one; then measure, point to the origin,
// clear, start the timer on the first success.
// A 3-D table brings its space maps (the weights are in the table).
void loader_finish(IfsTable&& table, SpaceMaps&& space = SpaceMaps{});
// Runs `work`; an allocation that fails in it is shown as "Not enough memory
// to read" the file instead of ending the program, and the table stays as it
// was.
void loader_guard_memory(const std::u16string& shown, const std::function<void()>& work);
