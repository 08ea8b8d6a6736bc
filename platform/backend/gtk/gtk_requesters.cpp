// File dialogs and message boxes as GTK dialogs, run modally over their owner
// while user32's messages keep being dispatched.
#include <string>
#include <vector>

#include "platform/backend/gtk/file_filters.h"
#include "platform/backend/gtk/gtk_internal.h"
#include "platform/kernel32/text_conversion.h"
#include "platform/win32/user32.h"

namespace {

GtkWindow* owner_window(HWND owner) {
  GtkTopLevel* record = gtk_top_level(owner);
  return record ? GTK_WINDOW(record->window) : nullptr;
}

// The dialogs open now, innermost last.
std::vector<GtkWidget*>& open_dialogs() {
  static std::vector<GtkWidget*> dialogs;
  return dialogs;
}

gint run_modally(GtkWidget* dialog) {
  GtkModalPump pump;
  open_dialogs().push_back(dialog);
  gtk_window_present(GTK_WINDOW(dialog));
  const gint response = gtk_dialog_run(GTK_DIALOG(dialog));
  open_dialogs().pop_back();
  return response;
}

std::vector<GtkFileFilter*> add_filters(GtkFileChooser* chooser, LPCWSTR filter) {
  std::vector<GtkFileFilter*> added;
  for (const FileFilterEntry& entry : file_filters_parse(filter)) {
    GtkFileFilter* gtk_filter = gtk_file_filter_new();
    gtk_file_filter_set_name(gtk_filter, gtk_text_utf8(entry.description.c_str()).c_str());
    for (const std::string& pattern : entry.patterns) gtk_file_filter_add_pattern(gtk_filter, pattern.c_str());
    gtk_file_chooser_add_filter(chooser, gtk_filter);  // the chooser takes the reference
    added.push_back(gtk_filter);
  }
  return added;
}

// A path as the file system spells it: a name that is not UTF-8 keeps its bytes.
std::string file_system_path(LPCWSTR text) {
  std::string bytes;
  if (text && utf16_to_bytes(text, bytes)) return bytes;
  return gtk_text_utf8(text);
}

void set_initial_place(GtkFileChooser* chooser, const BackendFileDialog& request) {
  const std::string folder = file_system_path(request.initial_directory);
  if (!folder.empty()) gtk_file_chooser_set_current_folder(chooser, folder.c_str());
  const std::string name = gtk_text_utf8(request.file_buffer);
  if (name.empty()) return;
  // The current name is shown text; a whole path goes to the file system.
  if (request.save) gtk_file_chooser_set_current_name(chooser, name.c_str());
  else if (name.front() == '/') gtk_file_chooser_set_filename(chooser, file_system_path(request.file_buffer).c_str());
}

BackendDialogResult hand_back(GtkFileChooser* chooser, BackendFileDialog* request,
                              const std::vector<GtkFileFilter*>& filters) {
  gchar* chosen = gtk_file_chooser_get_filename(chooser);
  if (!chosen) return BACKEND_DIALOG_CANCELLED;
  const std::u16string path = bytes_to_utf16(chosen);  // the file system's bytes, losslessly
  g_free(chosen);
  GtkFileFilter* filter = gtk_file_chooser_get_filter(chooser);
  for (size_t i = 0; i < filters.size(); ++i)
    if (filters[i] == filter) request->filter_index = static_cast<DWORD>(i + 1);
  if (!request->file_buffer || path.size() + 1 > request->file_capacity) return BACKEND_DIALOG_FAILED;
  path.copy(request->file_buffer, path.size());
  request->file_buffer[path.size()] = 0;
  return BACKEND_DIALOG_CHOSEN;
}

GtkMessageType message_type(UINT type) {
  constexpr UINT ICON_MASK = 0xF0;
  switch (type & ICON_MASK) {
    case MB_ICONHAND: return GTK_MESSAGE_ERROR;
    case MB_ICONEXCLAMATION: return GTK_MESSAGE_WARNING;
    case MB_ICONQUESTION: return GTK_MESSAGE_QUESTION;
    case MB_ICONASTERISK: return GTK_MESSAGE_INFO;
    default: return GTK_MESSAGE_OTHER;
  }
}

}  // namespace

void gtk_dialogs_raise() {
  for (GtkWidget* dialog : open_dialogs())
    if (GdkWindow* window = gtk_widget_get_window(dialog)) gdk_window_raise(window);
}

BackendDialogResult gtk_run_file_dialog(BackendFileDialog* request) {
  const bool save = request->save != FALSE;
  std::string title = gtk_text_utf8(request->title);
  if (title.empty()) title = save ? "Save As" : "Open";
  GtkWidget* dialog = gtk_file_chooser_dialog_new(
      title.c_str(), owner_window(request->owner), save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
      "_Cancel", GTK_RESPONSE_CANCEL, save ? "_Save" : "_Open", GTK_RESPONSE_ACCEPT, nullptr);
  GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
  // The program decides about existing files and extensions itself.
  gtk_file_chooser_set_do_overwrite_confirmation(chooser, FALSE);
  gtk_file_chooser_set_local_only(chooser, TRUE);
  const std::vector<GtkFileFilter*> filters = add_filters(chooser, request->filter);
  if (request->filter_index >= 1 && request->filter_index <= filters.size())
    gtk_file_chooser_set_filter(chooser, filters[request->filter_index - 1]);
  set_initial_place(chooser, *request);
  const gint response = run_modally(dialog);
  const BackendDialogResult result =
      response == GTK_RESPONSE_ACCEPT ? hand_back(chooser, request, filters) : BACKEND_DIALOG_CANCELLED;
  gtk_widget_destroy(dialog);
  return result;
}

int gtk_run_message_box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  GtkWidget* box = gtk_message_dialog_new(owner_window(owner), GTK_DIALOG_MODAL, message_type(type), GTK_BUTTONS_OK,
                                          "%s", gtk_text_utf8(text).c_str());
  gtk_window_set_title(GTK_WINDOW(box), gtk_text_utf8(caption).c_str());
  run_modally(box);
  gtk_widget_destroy(box);
  return IDOK;  // one button: closing the box answers it too, as Escape does on Win32
}
