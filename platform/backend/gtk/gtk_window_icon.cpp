// The windows' icon: the icon theme's picture named after the program, the
// name its desktop entry gives, so the window shows on panels and task
// switchers what the menus and file managers show. A program that is not
// installed finds no such icon and keeps the display's generic one.
#include <gtk/gtk.h>

#include "platform/backend/gtk/gtk_internal.h"

void gtk_use_program_icon() {
  if (const gchar* program = g_get_prgname()) gtk_window_set_default_icon_name(program);
}
