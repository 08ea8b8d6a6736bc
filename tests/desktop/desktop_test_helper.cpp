// What the desktop end-to-end tests need from another X client:
//   drag-source --files PATH... | --text TEXT
//       a 120 x 120 window at the screen's top-left corner that offers the
//       files (text/uri-list) or the text (text/plain) when dragged from;
//       prints the action the drop ended with ("copy", "move", "link" or
//       "none") and exits when the drag ends (after 30 s at the latest).
//   close WINDOW_ID
//       asks the window to close as a window manager's close box does
//       (WM_DELETE_WINDOW).
#include <X11/Xlib.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct DragOffer {
  bool files = true;
  std::vector<std::string> items;
};

void on_get(GtkWidget*, GdkDragContext*, GtkSelectionData* selection, guint, guint, gpointer data) {
  auto* offer = static_cast<DragOffer*>(data);
  if (offer->files) {
    std::vector<gchar*> uris;
    for (const std::string& path : offer->items) uris.push_back(g_filename_to_uri(path.c_str(), nullptr, nullptr));
    uris.push_back(nullptr);
    gtk_selection_data_set_uris(selection, uris.data());
    for (gchar* uri : uris) g_free(uri);
  } else {
    gtk_selection_data_set_text(selection, offer->items.front().c_str(), -1);
  }
}

const char* action_name(GdkDragAction action) {
  switch (action) {
    case GDK_ACTION_COPY: return "copy";
    case GDK_ACTION_MOVE: return "move";
    case GDK_ACTION_LINK: return "link";
    default: return "none";
  }
}

gboolean on_end_later(gpointer context) {
  std::printf("%s\n", action_name(gdk_drag_context_get_selected_action(GDK_DRAG_CONTEXT(context))));
  std::fflush(stdout);
  gtk_main_quit();
  return G_SOURCE_REMOVE;
}

void on_end(GtkWidget*, GdkDragContext* context, gpointer) {
  g_object_ref(context);
  g_timeout_add(100, on_end_later, context);
}

gboolean give_up(gpointer) {
  std::printf("timeout\n");
  gtk_main_quit();
  return G_SOURCE_REMOVE;
}

int drag_source(int argc, char** argv) {
  if (argc < 4) return 64;
  DragOffer offer;
  offer.files = std::strcmp(argv[2], "--files") == 0;
  for (int i = 3; i < argc; ++i) offer.items.push_back(argv[i]);
  if (!gtk_init_check(nullptr, nullptr)) return 69;
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_title(GTK_WINDOW(window), "drag source");
  gtk_window_move(GTK_WINDOW(window), 0, 0);
  GtkWidget* box = gtk_event_box_new();
  gtk_widget_set_size_request(box, 120, 120);
  gtk_container_add(GTK_CONTAINER(window), box);
  GtkTargetList* targets = gtk_target_list_new(nullptr, 0);
  if (offer.files) gtk_target_list_add_uri_targets(targets, 0);
  else gtk_target_list_add_text_targets(targets, 0);
  gtk_drag_source_set(box, GDK_BUTTON1_MASK, nullptr, 0, GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_MOVE));
  gtk_drag_source_set_target_list(box, targets);
  gtk_target_list_unref(targets);
  g_signal_connect(box, "drag-data-get", G_CALLBACK(on_get), &offer);
  g_signal_connect(box, "drag-end", G_CALLBACK(on_end), nullptr);
  g_timeout_add_seconds(30, give_up, nullptr);
  gtk_widget_show_all(window);
  gtk_main();
  return 0;
}

int close_window(const char* id) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 69;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = static_cast<Window>(std::strtoul(id, nullptr, 0));
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
  XCloseDisplay(display);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "drag-source") == 0) return drag_source(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "close") == 0) return close_window(argv[2]);
  std::fprintf(stderr, "usage: desktop_test_helper drag-source --files PATH... | --text TEXT\n"
                       "       desktop_test_helper close WINDOW_ID\n");
  return 64;
}
