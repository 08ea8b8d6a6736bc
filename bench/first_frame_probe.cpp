// A GTK module for the desktop benchmark (loaded through GTK_MODULES): ends
// the process as soon as a drawing area has been painted and the frame sent
// to the display, so that the parent's wait4() reads the time, processor time
// and peak memory to the first painted frame of any GTK program, unchanged.
#include <gtk/gtk.h>
#include <unistd.h>

namespace {

gboolean end_after_frame(gpointer) {
  gdk_display_flush(gdk_display_get_default());
  _exit(0);
}

gboolean on_draw(GSignalInvocationHint*, guint, const GValue* values, gpointer) {
  GObject* widget = static_cast<GObject*>(g_value_get_object(&values[0]));
  if (!GTK_IS_DRAWING_AREA(widget)) return TRUE;
  // After the draw: the idle runs once the frame's painting is over.
  g_idle_add_full(G_PRIORITY_HIGH_IDLE, end_after_frame, nullptr, nullptr);
  return FALSE;
}

}  // namespace

extern "C" G_MODULE_EXPORT void gtk_module_init(gint*, gchar***) {
  // Modules load before any widget exists: the class makes the signal known.
  g_type_class_ref(GTK_TYPE_DRAWING_AREA);
  g_signal_add_emission_hook(g_signal_lookup("draw", GTK_TYPE_WIDGET), 0, on_draw, nullptr, nullptr);
}
