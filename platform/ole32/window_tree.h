// Walks over the window tree of user32 that drag and drop needs.
#pragma once

#include "platform/win32/types.h"

// The top-level window that `window` belongs to (itself if it is one).
HWND window_tree_root(HWND window);
// The deepest visible window under a screen point, starting at `top_level`, which is
// returned when no child covers the point.
HWND window_tree_deepest_at(HWND top_level, POINT screen_point);
// Whether `predicate` holds for `root` or any window below it.
bool window_tree_any(HWND root, bool (*predicate)(HWND window));
