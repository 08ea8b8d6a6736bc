// The menu bar's loop without a screen: answered from the queue of menu
// answers, the way a user would reach the item (its popup opened, the item
// highlighted), kept open for the scripted time while the program's messages
// keep being dispatched.
#include "platform/backend/headless/headless_state.h"
#include "platform/win32/user32.h"

namespace {

struct ItemPlace {
  HMENU popup = nullptr;
  UINT popup_position = 0;
  UINT item_position = 0;
};

// An enabled command item of a popup of the bar (the bar's own titles hold popups).
bool find_item(HMENU bar, int id, ItemPlace* place) {
  const int titles = GetMenuItemCount(bar);
  for (int title = 0; title < titles; ++title) {
    HMENU popup = GetSubMenu(bar, title);
    const int count = popup ? GetMenuItemCount(popup) : 0;
    for (int i = 0; i < count; ++i) {
      const UINT state = GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION);
      if (GetSubMenu(popup, i) || (state & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED))) continue;
      if (static_cast<int>(GetMenuItemID(popup, i)) != id) continue;
      *place = ItemPlace{popup, static_cast<UINT>(title), static_cast<UINT>(i)};
      return true;
    }
  }
  return false;
}

}  // namespace

void headless_answer_menu(int id, BackendTime open_for_ms) {
  headless_state().menu_answers.push_back(HeadlessMenuAnswer{id, open_for_ms});
}

HeadlessMenuLoops headless_menu_loops() { return headless_state().menu_loops; }

int headless_run_menu_bar(HWND window, BOOL by_keyboard) {
  HeadlessState& state = headless_state();
  state.menu_loops.run++;
  if (by_keyboard) state.menu_loops.by_keyboard++;
  if (state.menu_answers.empty()) return -1;
  const HeadlessMenuAnswer answer = state.menu_answers.front();
  state.menu_answers.pop_front();
  ItemPlace place;
  const bool found = answer.id != HEADLESS_MENU_ESCAPED && find_item(GetMenu(window), answer.id, &place);
  HMENU bar = GetMenu(window);
  if (found) {
    input_menu_popup_opened(window, place.popup, place.popup_position);
    input_menu_item_selected(window, place.popup, place.item_position);
  } else if (HMENU first = GetSubMenu(bar, 0)) {
    input_menu_popup_opened(window, first, 0);  // opened, and closed again without a choice
  }
  headless_keep_open(answer.open_for);
  if (answer.id == HEADLESS_MENU_ESCAPED) {
    // The menu took the press; the release reaches the window.
    state.keys[VK_ESCAPE] = true;
    headless_schedule(state.now, [window] { headless_key(window, VK_ESCAPE, FALSE); });
  }
  return found ? answer.id : -1;
}
