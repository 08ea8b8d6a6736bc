// A GtkMenuBar built from a window's menu: each item shows its text and, on
// the right, the shortcut text after its tab. Choosing an item reports its id;
// the shortcuts themselves stay user32's (its accelerators).
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

struct Choice {
  HWND window;
  UINT id;
};

void on_activate(GtkMenuItem*, gpointer data) {
  auto* choice = static_cast<Choice*>(data);
  input_menu_command(choice->window, choice->id);
  gtk_input_delivered();
}

void free_choice(gpointer data, GClosure*) { delete static_cast<Choice*>(data); }

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
  g_signal_connect_data(item, "activate", G_CALLBACK(on_activate),
                        new Choice{window, GetMenuItemID(menu, position)}, free_choice, GConnectFlags(0));
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
  return bar;
}
