// A GtkMenuBar built from a window's menu: each item shows its text and, on
// the right, the shortcut text after its tab. The shortcuts themselves stay
// user32's (its accelerators). While the menu is open user32's menu loop runs
// (gtk_run_menu_bar): a popup opened by the mouse starts it, popups and
// highlighted items are reported to it, and the item chosen is its answer.
#include <string>

#include "platform/backend/gtk/gtk_internal.h"
#include "platform/backend/input.h"
#include "platform/win32/user32.h"

namespace {

constexpr int MAX_DEPTH = 16;

struct ItemText {
  std::string label;     // with GTK's mnemonic underscore for Win32's "&"
  std::string shortcut;  // after the tab; empty if none
};

ItemText item_text(HMENU menu, int position) {
  WCHAR buffer[512] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), buffer, 512, MF_BYPOSITION);
  std::u16string text(buffer);
  ItemText result;
  const size_t tab = text.find(u'\t');
  if (tab != std::u16string::npos) {
    result.shortcut = gtk_text_utf8(text.substr(tab + 1).c_str());
    text.resize(tab);
  }
  std::u16string mnemonic;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'_') mnemonic += u"__";
    else if (text[i] == u'&' && i + 1 < text.size() && text[i + 1] == u'&') mnemonic += text[++i];
    else if (text[i] == u'&') mnemonic += u'_';
    else mnemonic += text[i];
  }
  result.label = gtk_text_utf8(mnemonic.c_str());
  return result;
}

// Where an item or popup stands in the window's menu.
struct Choice {
  HWND window;
  HMENU menu;
  int position;
  UINT id;
};

void on_activate(GtkMenuItem*, gpointer data) {
  auto* choice = static_cast<Choice*>(data);
  GtkTopLevel* record = gtk_top_level(choice->window);
  if (record && record->menu_loop_running) {
    record->menu_choice = static_cast<int>(choice->id);
    return;
  }
  input_menu_command(choice->window, choice->id);  // chosen before the loop began
  gtk_input_delivered();
}

void on_select(GtkMenuItem*, gpointer data) {
  auto* choice = static_cast<Choice*>(data);
  GtkTopLevel* record = gtk_top_level(choice->window);
  if (record && record->menu_loop_running)
    input_menu_item_selected(choice->window, choice->menu, static_cast<UINT>(choice->position));
}

// A title's popup opened: by the mouse it starts user32's menu loop.
void on_popup_shown(GtkWidget*, gpointer data) {
  auto* place = static_cast<Choice*>(data);
  GtkTopLevel* record = gtk_top_level(place->window);
  if (!record) return;
  HMENU popup = GetSubMenu(place->menu, place->position);
  if (record->menu_loop_running) {
    input_menu_popup_opened(place->window, popup, static_cast<UINT>(place->position));
  } else {
    input_menu_bar_opened(place->window);
    gtk_input_delivered();
  }
}

void on_bar_deactivated(GtkMenuShell*, gpointer window) {
  if (GtkTopLevel* record = gtk_top_level(static_cast<HWND>(window))) record->menu_open = false;
}

void free_choice(gpointer data, GClosure*) { delete static_cast<Choice*>(data); }

void connect_place(gpointer instance, const char* signal, GCallback callback, const Choice& place) {
  g_signal_connect_data(instance, signal, callback, new Choice(place), free_choice, GConnectFlags(0));
}

GtkWidget* command_item(HWND window, HMENU menu, int position, const ItemText& text) {
  GtkWidget* item = gtk_menu_item_new();
  GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 24);
  GtkWidget* label = gtk_label_new_with_mnemonic(text.label.c_str());
  gtk_label_set_xalign(GTK_LABEL(label), 0.0f);
  gtk_box_pack_start(GTK_BOX(row), label, TRUE, TRUE, 0);
  if (!text.shortcut.empty()) {
    GtkWidget* shortcut = gtk_label_new(text.shortcut.c_str());
    gtk_style_context_add_class(gtk_widget_get_style_context(shortcut), "accelerator");
    gtk_box_pack_end(GTK_BOX(row), shortcut, FALSE, FALSE, 0);
  }
  gtk_container_add(GTK_CONTAINER(item), row);
  const Choice place{window, menu, position, GetMenuItemID(menu, position)};
  connect_place(item, "activate", G_CALLBACK(on_activate), place);
  connect_place(item, "select", G_CALLBACK(on_select), place);
  return item;
}

void fill_menu(GtkMenuShell* shell, HWND window, HMENU menu, int depth);

GtkWidget* menu_item(HWND window, HMENU menu, int position, int depth) {
  const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
  if (state & MF_SEPARATOR) return gtk_separator_menu_item_new();
  const ItemText text = item_text(menu, position);
  GtkWidget* item;
  if (HMENU popup = GetSubMenu(menu, position)) {
    item = gtk_menu_item_new_with_mnemonic(text.label.c_str());
    GtkWidget* submenu = gtk_menu_new();
    if (depth < MAX_DEPTH) fill_menu(GTK_MENU_SHELL(submenu), window, popup, depth + 1);
    gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), submenu);
    const Choice place{window, menu, position, 0};
    if (depth == 0) connect_place(submenu, "show", G_CALLBACK(on_popup_shown), place);
    connect_place(item, "select", G_CALLBACK(on_select), place);
  } else {
    item = command_item(window, menu, position, text);
  }
  if (state & (MF_GRAYED | MF_DISABLED)) gtk_widget_set_sensitive(item, FALSE);
  return item;
}

void fill_menu(GtkMenuShell* shell, HWND window, HMENU menu, int depth) {
  const int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position)
    gtk_menu_shell_append(shell, menu_item(window, menu, position, depth));
}

}  // namespace

GtkWidget* gtk_menu_bar_build(HWND window, HMENU menu) {
  if (!menu || !IsMenu(menu)) return nullptr;
  GtkWidget* bar = gtk_menu_bar_new();
  fill_menu(GTK_MENU_SHELL(bar), window, menu, 0);
  g_signal_connect(bar, "deactivate", G_CALLBACK(on_bar_deactivated), window);
  return bar;
}

namespace {

// The title the bar has highlighted, by position; -1 when the menu is closed.
int selected_title(GtkMenuShell* bar) {
  GtkWidget* selected = gtk_menu_shell_get_selected_item(bar);
  if (!selected) return -1;
  GList* titles = gtk_container_get_children(GTK_CONTAINER(bar));
  const int position = g_list_index(titles, selected);
  g_list_free(titles);
  return position;
}

// As F10 does in GTK: the first title opened with its first item highlighted,
// the keyboard held by the menu. A display without a keyboard has nothing to do this with.
void open_first_title(GtkMenuShell* bar) {
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(GTK_WIDGET(bar)));
  if (!seat || !gdk_seat_get_keyboard(seat)) return;
  GList* titles = gtk_container_get_children(GTK_CONTAINER(bar));
  GtkWidget* first = titles ? GTK_WIDGET(titles->data) : nullptr;
  g_list_free(titles);
  gtk_log_opening_menu_for_keyboard(true);
  if (first) gtk_widget_mnemonic_activate(first, FALSE);
  gtk_log_opening_menu_for_keyboard(false);
}

}  // namespace

int gtk_run_menu_bar(HWND window, BOOL by_keyboard) {
  GtkTopLevel* record = gtk_top_level(window);
  if (record) gtk_menu_bar_bring_up_to_date(record);
  if (!record || !record->menu_bar || !gtk_widget_get_visible(record->window)) return -1;
  GtkMenuShell* bar = GTK_MENU_SHELL(record->menu_bar);
  record->menu_loop_running = true;
  record->menu_choice = -1;
  if (by_keyboard) open_first_title(bar);
  const int title = selected_title(bar);
  record->menu_open = title >= 0;
  // The mouse opened the popup before the loop began.
  if (record->menu_open && !by_keyboard)
    input_menu_popup_opened(window, GetSubMenu(GetMenu(window), title), static_cast<UINT>(title));
  {
    GtkModalPump pump;
    while (gtk_top_level(window) == record && record->menu_open) g_main_context_iteration(nullptr, TRUE);
  }
  if (gtk_top_level(window) != record) return -1;  // the window went while its menu was open
  record->menu_loop_running = false;
  return record->menu_choice;
}
