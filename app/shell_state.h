// The shell's own state beside the application's: the folders the two file
// requesters remember, the file type last chosen for saving, the last event code and
// whether the Escape now held was pressed in a requester.
#pragma once

#include <cstdint>
#include <string>

#include "app/loader.h"

struct ShellState {
  std::u16string open_dir;
  std::u16string save_dir;
  std::int32_t save_pattern = 0;  // 0 PNG, 1 BMP
  std::int32_t last_event = 0;
  // Escape went down while a modal requester or the menu was open (it closed
  // it): that press does not end the program, even while still held.
  bool escape_began_in_requester = false;
  // The library the loaded table came from, for paging through its tables:
  // how to read it again, which table is shown and how many it holds (0
  // while a seven-number file, or nothing, is loaded).
  LoadRequest library;
  std::int64_t library_index = 0;
  std::int64_t library_count = 0;
};

ShellState& shell_state();
// Back to the values of a freshly started process.
void shell_state_reset();
