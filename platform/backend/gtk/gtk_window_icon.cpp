// The windows' icon: the icon theme's picture named after the program, the
// name its desktop entry gives, so the window shows on panels and task
// switchers what the menus and file managers show. A program that is not
// installed finds no such icon and keeps the display's generic one.
//
// Looking the icon up loads the icon theme, which costs more than the rest of
// the window's start (a bare GTK window does none of it), so it waits until
// the first frame is on the screen, and is then given to every window.
#include <gtk/gtk.h>

#include "platform/backend/gtk/gtk_internal.h"

namespace {

gboolean use_program_icon(gpointer) {
  const gchar* program = g_get_prgname();
  if (!program) return G_SOURCE_REMOVE;
  gtk_window_set_default_icon_name(program);
  // A window realized without a default icon keeps none of its own: each is told.
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item; item = item->next) gtk_window_set_icon_name(GTK_WINDOW(item->data), program);
  g_list_free(windows);
  return G_SOURCE_REMOVE;
}

}  // namespace

void gtk_use_program_icon_after_first_frame() {
  static bool asked = false;
  if (asked) return;
  asked = true;
  // Idle sources run after the frame clock's paint, which drew the frame.
  g_idle_add(use_program_icon, nullptr);
}
