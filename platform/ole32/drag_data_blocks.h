// The global-memory blocks a drag carries: a file list (CF_HDROP), wide text
// (CF_UNICODETEXT) and 8-bit text (CF_TEXT). Blocks are movable; null on failure.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/types.h"

// DROPFILES header and wide names, the list ending with an empty name. A name that is
// empty or holds a zero unit cannot be written without corrupting the list: null.
HGLOBAL drag_block_file_list(const std::vector<std::u16string>& paths);
HGLOBAL drag_block_wide_text(std::u16string_view text);
// In the system code page (UTF-8 here), zero-terminated.
HGLOBAL drag_block_narrow_text(std::u16string_view text);
// A new movable block with the same bytes as `block`.
HGLOBAL drag_block_copy(HGLOBAL block);
