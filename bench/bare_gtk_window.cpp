// The desktop benchmark's baseline: a bare GTK 3 program with the desktop
// program's widgets (a window with a File menu of Open..., Save... and Quit,
// Ctrl+O and Ctrl+S, over a 600 x 600 drawing area painted black), centred on
// the screen as the program's window is (so under the pointer where it rests
// in the middle, which costs GTK its tooltip machinery), and nothing else: no
// runtime, no table, no timer.
#include <gtk/gtk.h>

namespace {

gboolean draw_black(GtkWidget*, cairo_t* cairo, gpointer) {
  cairo_set_source_rgb(cairo, 0, 0, 0);
  cairo_paint(cairo);
  return FALSE;
}

void add_item(GtkWidget* menu, GtkAccelGroup* keys, const char* label, guint key) {
  GtkWidget* item = gtk_menu_item_new_with_mnemonic(label);
  if (key) gtk_widget_add_accelerator(item, "activate", keys, key, GDK_CONTROL_MASK, GTK_ACCEL_VISIBLE);
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
}

}  // namespace

int main(int argc, char** argv) {
  if (!gtk_init_check(&argc, &argv)) return 69;
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "IFS render by Tarnwick");
  gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
  gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
  GtkAccelGroup* keys = gtk_accel_group_new();
  gtk_window_add_accel_group(GTK_WINDOW(window), keys);

  GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(window), box);
  GtkWidget* bar = gtk_menu_bar_new();
  GtkWidget* file = gtk_menu_item_new_with_mnemonic("_File");
  GtkWidget* menu = gtk_menu_new();
  add_item(menu, keys, "_Open...", GDK_KEY_o);
  add_item(menu, keys, "_Save...", GDK_KEY_s);
  add_item(menu, keys, "_Quit", 0);
  gtk_menu_item_set_submenu(GTK_MENU_ITEM(file), menu);
  gtk_menu_shell_append(GTK_MENU_SHELL(bar), file);
  gtk_box_pack_start(GTK_BOX(box), bar, FALSE, FALSE, 0);
  GtkWidget* area = gtk_drawing_area_new();
  gtk_widget_set_size_request(area, 600, 600);
  g_signal_connect(area, "draw", G_CALLBACK(draw_black), nullptr);
  gtk_box_pack_end(GTK_BOX(box), area, FALSE, FALSE, 0);

  g_signal_connect(window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}
