// Files dragged from other programs (XDND or Wayland's data device) onto a
// window's client area. Only "text/uri-list" is taken: its local file names
// become the file list a drop target reads (CF_HDROP); any other kind is
// refused while it is dragged. The file list is fetched on the first motion,
// so the drop target can judge it from its DragEnter on.
#include <vector>

#include "platform/backend/drag_input.h"
#include "platform/backend/gtk/gtk_internal.h"
#include "platform/backend/gtk/uri_list.h"
#include "platform/ole32/drag_data_object.h"

namespace {

constexpr guint TARGET_URI_LIST = 1;

GdkAtom uri_list_atom() { return gdk_atom_intern_static_string("text/uri-list"); }

DWORD offered_effects(GdkDragContext* context) {
  const GdkDragAction actions = gdk_drag_context_get_actions(context);
  DWORD offered = DROPEFFECT_NONE;
  if (actions & GDK_ACTION_COPY) offered |= DROPEFFECT_COPY;
  if (actions & GDK_ACTION_MOVE) offered |= DROPEFFECT_MOVE;
  if (actions & GDK_ACTION_LINK) offered |= DROPEFFECT_LINK;
  return offered;
}

GdkDragAction action_of(DWORD effect) {
  if (effect & DROPEFFECT_COPY) return GDK_ACTION_COPY;
  if (effect & DROPEFFECT_MOVE) return GDK_ACTION_MOVE;
  if (effect & DROPEFFECT_LINK) return GDK_ACTION_LINK;
  return GdkDragAction(0);
}

// The mouse button and modifiers as MK_* bits.
DWORD key_state(GtkWidget* widget, bool button_held) {
  GdkModifierType mask = GdkModifierType(0);
  GdkWindow* window = gtk_widget_get_window(widget);
  // A Wayland display may have no seat, or a seat without a pointer.
  GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(widget));
  GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
  if (window && pointer) gdk_window_get_device_position(window, pointer, nullptr, nullptr, &mask);
  DWORD state = button_held ? MK_LBUTTON : 0;
  if (mask & GDK_SHIFT_MASK) state |= MK_SHIFT;
  if (mask & GDK_CONTROL_MASK) state |= MK_CONTROL;
  if (mask & GDK_MOD1_MASK) state |= MK_ALT;
  return state;
}

void finish_leave(GtkTopLevel* record) {
  if (record->drag_leave_source) g_source_remove(record->drag_leave_source);
  record->drag_leave_source = 0;
  if (record->drag_entered) drag_input_leave(record->handle);
  record->drag_entered = false;
  record->drag_requested = false;
}

gboolean on_motion(GtkWidget* widget, GdkDragContext* context, gint x, gint y, guint time, gpointer data) {
  auto* record = static_cast<GtkTopLevel*>(data);
  if (record->drag_leave_source) {  // back over the window before the leave was acted on
    g_source_remove(record->drag_leave_source);
    record->drag_leave_source = 0;
  }
  record->drag_point = POINT{x, y};
  if (gtk_drag_dest_find_target(widget, context, nullptr) == GDK_NONE) {
    gdk_drag_status(context, GdkDragAction(0), time);
    return TRUE;
  }
  if (!record->drag_entered) {
    if (!record->drag_requested) gtk_drag_get_data(widget, context, uri_list_atom(), time);
    record->drag_requested = true;
    return TRUE;  // answered when the file list arrives
  }
  const DWORD effect = drag_input_over(record->handle, record->drag_point, key_state(widget, true), offered_effects(context));
  gtk_input_delivered();
  gdk_drag_status(context, action_of(effect), time);
  return TRUE;
}

void on_received(GtkWidget* widget, GdkDragContext* context, gint, gint, GtkSelectionData* selection, guint,
                 guint time, gpointer data) {
  auto* record = static_cast<GtkTopLevel*>(data);
  if (record->drag_entered) return;
  gint length = 0;
  const guchar* bytes = gtk_selection_data_get_data_with_length(selection, &length);
  std::vector<std::u16string> files;
  if (bytes && length > 0) files = uri_list_files(std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length)));
  IDataObject* object = files.empty() ? nullptr : drag_data_create_files(files);
  if (!object) {
    gdk_drag_status(context, GdkDragAction(0), time);
    return;
  }
  record->drag_entered = true;
  const DWORD effect =
      drag_input_enter(record->handle, object, record->drag_point, key_state(widget, true), offered_effects(context));
  object->Release();  // the drag holds its own reference
  gtk_input_delivered();
  gdk_drag_status(context, action_of(effect), time);
}

gboolean leave_now(gpointer data) {
  auto* record = static_cast<GtkTopLevel*>(data);
  record->drag_leave_source = 0;
  finish_leave(record);
  gtk_input_delivered();
  return G_SOURCE_REMOVE;
}

// GTK reports a leave before each drop too: the leave is acted on only when no drop follows.
void on_leave(GtkWidget*, GdkDragContext*, guint, gpointer data) {
  auto* record = static_cast<GtkTopLevel*>(data);
  if (!record->drag_leave_source) record->drag_leave_source = g_idle_add(leave_now, record);
}

gboolean on_drop(GtkWidget* widget, GdkDragContext* context, gint x, gint y, guint time, gpointer data) {
  auto* record = static_cast<GtkTopLevel*>(data);
  if (record->drag_leave_source) g_source_remove(record->drag_leave_source);
  record->drag_leave_source = 0;
  DWORD effect = DROPEFFECT_NONE;
  if (record->drag_entered)
    effect = drag_input_drop(record->handle, POINT{x, y}, key_state(widget, false), offered_effects(context));
  record->drag_entered = false;
  record->drag_requested = false;
  gtk_input_delivered();
  gtk_drag_finish(context, effect != DROPEFFECT_NONE, FALSE, time);
  return TRUE;
}

}  // namespace

void gtk_drops_accept(GtkTopLevel* record, bool accept) {
  if (!accept) {
    finish_leave(record);
    gtk_drag_dest_unset(record->area);
    return;
  }
  static const GtkTargetEntry targets[] = {{const_cast<gchar*>("text/uri-list"), 0, TARGET_URI_LIST}};
  gtk_drag_dest_set(record->area, GtkDestDefaults(0), targets, 1,
                    GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_MOVE | GDK_ACTION_LINK));
  // The signals are connected once, however often drops are switched on and off.
  if (!g_object_get_data(G_OBJECT(record->area), "ifs-drops")) {
    g_object_set_data(G_OBJECT(record->area), "ifs-drops", record);
    g_signal_connect(record->area, "drag-motion", G_CALLBACK(on_motion), record);
    g_signal_connect(record->area, "drag-data-received", G_CALLBACK(on_received), record);
    g_signal_connect(record->area, "drag-leave", G_CALLBACK(on_leave), record);
    g_signal_connect(record->area, "drag-drop", G_CALLBACK(on_drop), record);
  }
}
