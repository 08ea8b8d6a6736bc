// The GTK backend on a real (virtual) X display, seen through user32 as the
// runtime uses it: the menu bar, the client area's size and exact colours,
// timers and the disabled owner behind a message box, the file dialog's
// request, the close box, menu choices, clicks and keys, and the keyboard's state.
// Run by with_display.sh, which starts a private Xvfb.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <gdk/gdkx.h>

#include "platform/backend/gtk/gtk_backend.h"
#include "platform/backend/gtk/gtk_internal.h"
#include "platform/win32/comdlg32.h"
#include "platform/win32/gdi32.h"
#include "platform/win32/user32.h"

namespace {

constexpr int CLIENT_WIDTH = 240;
constexpr int CLIENT_HEIGHT = 160;
constexpr COLORREF QUARTERS[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 190, 255)};

struct Logged {
  UINT message;
  WPARAM wparam;
  LPARAM lparam;
};
std::vector<Logged> logged;
int timer_ticks = 0;

LRESULT procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_TIMER) ++timer_ticks;
  if (message == WM_COMMAND || message == WM_SYSCOMMAND || message == WM_CLOSE || message == WM_LBUTTONDOWN ||
      message == WM_KEYDOWN)
    logged.push_back({message, wparam, lparam});
  if (message == WM_CLOSE) return 0;  // the test decides when windows go
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    for (int i = 0; i < 4; ++i) {
      RECT quarter{(i % 2) * CLIENT_WIDTH / 2, (i / 2) * CLIENT_HEIGHT / 2, (i % 2 + 1) * CLIENT_WIDTH / 2,
                   (i / 2 + 1) * CLIENT_HEIGHT / 2};
      HBRUSH brush = CreateSolidBrush(QUARTERS[i]);
      FillRect(dc, &quarter, brush);
      DeleteObject(brush);
    }
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void pump_until(const std::function<bool()>& done, int timeout_ms = 5000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (!done() && std::chrono::steady_clock::now() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    g_usleep(2000);
  }
}

HMENU file_menu_bar() {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, 10, u"Open\u2026\tCtrl+O");
  AppendMenuW(file, MF_STRING, 11, u"Save\u2026\tCtrl+S");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, 12, u"Quit\tEsc");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), u"File");
  return bar;
}

std::vector<GtkWidget*> children(GtkWidget* container) {
  std::vector<GtkWidget*> result;
  GList* list = gtk_container_get_children(GTK_CONTAINER(container));
  for (GList* item = list; item; item = item->next) result.push_back(GTK_WIDGET(item->data));
  g_list_free(list);
  return result;
}

// The texts of the labels inside a menu item, left to right.
std::vector<std::string> label_texts(GtkWidget* item) {
  std::vector<std::string> texts;
  std::function<void(GtkWidget*)> walk = [&](GtkWidget* widget) {
    if (GTK_IS_LABEL(widget)) texts.emplace_back(gtk_label_get_text(GTK_LABEL(widget)));
    else if (GTK_IS_CONTAINER(widget))
      for (GtkWidget* child : children(widget)) walk(child);
  };
  walk(item);
  return texts;
}

template <typename Kind>
Kind* open_dialog(GType type) {
  Kind* found = nullptr;
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item; item = item->next)
    if (G_TYPE_CHECK_INSTANCE_TYPE(item->data, type) && gtk_widget_get_visible(GTK_WIDGET(item->data)))
      found = reinterpret_cast<Kind*>(item->data);
  g_list_free(windows);
  return found;
}

// Runs `inspect` once the GTK dialog of `type` is open, from inside its modal loop.
void when_dialog_opens(GType type, std::function<void(GtkWidget*)> inspect) {
  struct Watch {
    GType type;
    std::function<void(GtkWidget*)> inspect;
    int tries = 0;
  };
  auto* watch = new Watch{type, std::move(inspect)};
  g_timeout_add(
      50,
      [](gpointer data) -> gboolean {
        auto* self = static_cast<Watch*>(data);
        GtkWidget* dialog = open_dialog<GtkWidget>(self->type);
        if (!dialog && ++self->tries < 100) return G_SOURCE_CONTINUE;
        if (dialog) self->inspect(dialog);
        else ADD_FAILURE() << "the dialog did not open";
        delete self;
        return G_SOURCE_REMOVE;
      },
      watch);
}

class GtkBackend : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const DisplayBackend* gtk = gtk_backend_open();
    ASSERT_NE(gtk, nullptr) << "no display: run under with_display.sh";
    backend_select(gtk);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = procedure;
    window_class.lpszClassName = u"GtkContract";
    RegisterClassW(&window_class);
  }

  void SetUp() override {
    logged.clear();
    timer_ticks = 0;
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, CLIENT_WIDTH, CLIENT_HEIGHT};
    AdjustWindowRectEx(&frame, style, TRUE, 0);
    window = CreateWindowExW(0, u"GtkContract", u"Contract", style, 40, 40, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, file_menu_bar(), nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOW);
    record = gtk_top_level(window);
    ASSERT_NE(record, nullptr);
    pump_until([&] { return gtk_widget_get_mapped(record->area) && gtk_widget_get_allocated_height(record->area) > 1; });
  }

  void TearDown() override {
    DestroyWindow(window);
    pump_until([] { return false; }, 50);
  }

  HWND window = nullptr;
  GtkTopLevel* record = nullptr;
};

TEST_F(GtkBackend, TheMenuBarShowsTheItemsWithTheirShortcutTextsAndReportsChoices) {
  ASSERT_NE(record->menu_bar, nullptr);
  const std::vector<GtkWidget*> titles = children(record->menu_bar);
  ASSERT_EQ(titles.size(), 1u);
  EXPECT_EQ(label_texts(titles[0]), std::vector<std::string>{"File"});
  GtkWidget* submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(titles[0]));
  ASSERT_NE(submenu, nullptr);
  const std::vector<GtkWidget*> items = children(submenu);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(label_texts(items[0]), (std::vector<std::string>{"Open\u2026", "Ctrl+O"}));
  EXPECT_EQ(label_texts(items[1]), (std::vector<std::string>{"Save\u2026", "Ctrl+S"}));
  EXPECT_TRUE(GTK_IS_SEPARATOR_MENU_ITEM(items[2]));
  EXPECT_EQ(label_texts(items[3]), (std::vector<std::string>{"Quit", "Esc"}));

  gtk_menu_item_activate(GTK_MENU_ITEM(items[1]));
  pump_until([] { return !logged.empty(); });
  ASSERT_EQ(logged.size(), 1u);
  EXPECT_EQ(logged[0].message, static_cast<UINT>(WM_COMMAND));
  EXPECT_EQ(logged[0].wparam, 11u);
}

// A program sets its menu again after every title or item it adds, as the
// runtime does while it builds its bar: the window shows the menu as it last
// was once GLib has run, and a window set to no menu shows no bar.
TEST_F(GtkBackend, AMenuSetAgainShowsItsLatestItemsAndNoMenuShowsNoBar) {
  HMENU bar = GetMenu(window);
  HMENU view = CreatePopupMenu();
  AppendMenuW(view, MF_STRING, 20, u"Zoom");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), u"View");
  SetMenu(window, bar);
  AppendMenuW(bar, MF_STRING, 30, u"Help");
  SetMenu(window, bar);
  auto titles = [&] {
    std::vector<std::string> texts;
    if (record->menu_bar)
      for (GtkWidget* title : children(record->menu_bar))
        for (const std::string& text : label_texts(title)) texts.push_back(text);
    return texts;
  };
  pump_until([&] { return titles().size() == 3; });
  EXPECT_EQ(titles(), (std::vector<std::string>{"File", "View", "Help"}));
  ASSERT_NE(record->menu_bar, nullptr);
  EXPECT_TRUE(gtk_widget_get_visible(record->menu_bar));
  SetMenu(window, nullptr);
  pump_until([&] { return record->menu_bar == nullptr; });
  EXPECT_EQ(record->menu_bar, nullptr);
  DestroyMenu(bar);
}

TEST_F(GtkBackend, TheClientAreaHasTheClientSizeUnderAMenuBarOfTheMeasuredHeight) {
  RECT client;
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, CLIENT_WIDTH);
  EXPECT_EQ(client.bottom, CLIENT_HEIGHT);
  EXPECT_EQ(gtk_widget_get_allocated_width(record->area), CLIENT_WIDTH);
  EXPECT_EQ(gtk_widget_get_allocated_height(record->area), CLIENT_HEIGHT);
  EXPECT_EQ(gtk_widget_get_allocated_height(record->menu_bar), GetSystemMetrics(SM_CYMENU));
  int width = 0, height = 0;
  gtk_window_get_size(GTK_WINDOW(record->window), &width, &height);
  EXPECT_EQ(width, CLIENT_WIDTH);
  EXPECT_EQ(height, CLIENT_HEIGHT + GetSystemMetrics(SM_CYMENU));
  EXPECT_GE(GetSystemMetrics(SM_CXSCREEN), 1280);  // the virtual screen's size
}

TEST_F(GtkBackend, PaintedPixelsReachTheScreenWithExactColours) {
  GdkPixbuf* shown = nullptr;
  auto quarters_shown = [&] {
    if (shown) g_object_unref(shown);
    shown = gdk_pixbuf_get_from_window(gtk_widget_get_window(record->area), 0, 0, CLIENT_WIDTH, CLIENT_HEIGHT);
    if (!shown) return false;
    const guchar* pixel = gdk_pixbuf_get_pixels(shown);
    return pixel[0] == 255 && pixel[1] == 0 && pixel[2] == 0;
  };
  pump_until(quarters_shown);
  ASSERT_NE(shown, nullptr);
  const int stride = gdk_pixbuf_get_rowstride(shown);
  const int channels = gdk_pixbuf_get_n_channels(shown);
  for (int i = 0; i < 4; ++i) {
    const int x = (i % 2) * CLIENT_WIDTH / 2 + 5, y = (i / 2) * CLIENT_HEIGHT / 2 + 5;
    const guchar* pixel = gdk_pixbuf_get_pixels(shown) + y * stride + x * channels;
    EXPECT_EQ(RGB(pixel[0], pixel[1], pixel[2]), QUARTERS[i]) << "quarter " << i;
  }
  g_object_unref(shown);
}

// On X11 the window's pixels live in the X server: a picture's rows go there,
// and reads and combining operations come back from there, exactly.
TEST_F(GtkBackend, PicturesDrawnOnTheWindowAreKeptByTheXServerAndReadBackExactly) {
  constexpr int SIDE = 64;
  auto colour_at = [](int x, int y) { return RGB(x * 4, y * 4, (x * 3 + y * 5) & 255); };
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), SIDE, -SIDE, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(picture, nullptr);
  for (int y = 0; y < SIDE; ++y)
    for (int x = 0; x < SIDE; ++x) {
      BYTE* pixel = static_cast<BYTE*>(bits) + y * SIDE * 3 + x * 3;  // top-down, rows of 192 bytes
      pixel[0] = GetBValue(colour_at(x, y));
      pixel[1] = GetGValue(colour_at(x, y));
      pixel[2] = GetRValue(colour_at(x, y));
    }
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ stock = SelectObject(memory, picture);
  HDC dc = GetDC(window);
  ASSERT_TRUE(BitBlt(dc, 10, 20, SIDE, SIDE, memory, 0, 0, SRCCOPY));
  EXPECT_EQ(GetPixel(dc, 10, 20), colour_at(0, 0));
  EXPECT_EQ(GetPixel(dc, 10 + 33, 20 + 47), colour_at(33, 47));
  // Blue XOR the picture's first pixel (black) is blue.
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  HGDIOBJ old_brush = SelectObject(dc, blue);
  ASSERT_TRUE(PatBlt(dc, 10, 20, 2, 2, PATINVERT));
  SelectObject(dc, old_brush);
  DeleteObject(blue);
  EXPECT_EQ(GetPixel(dc, 11, 21), RGB(4, 4, 255 ^ 8));
  ReleaseDC(window, dc);
  ASSERT_NE(record->image, nullptr);
  EXPECT_EQ(cairo_surface_get_type(record->image), CAIRO_SURFACE_TYPE_XLIB) << "kept by the X server";

  GdkPixbuf* shown = nullptr;
  auto picture_shown = [&] {
    if (shown) g_object_unref(shown);
    shown = gdk_pixbuf_get_from_window(gtk_widget_get_window(record->area), 10, 20, SIDE, SIDE);
    if (!shown) return false;
    const guchar* pixel = gdk_pixbuf_get_pixels(shown) + 40 * gdk_pixbuf_get_rowstride(shown) + 40 * gdk_pixbuf_get_n_channels(shown);
    return RGB(pixel[0], pixel[1], pixel[2]) == colour_at(40, 40);
  };
  pump_until(picture_shown);
  ASSERT_NE(shown, nullptr);
  for (int y = 2; y < SIDE; y += 7)
    for (int x = 2; x < SIDE; x += 5) {
      const guchar* pixel = gdk_pixbuf_get_pixels(shown) + y * gdk_pixbuf_get_rowstride(shown) + x * gdk_pixbuf_get_n_channels(shown);
      EXPECT_EQ(RGB(pixel[0], pixel[1], pixel[2]), colour_at(x, y)) << x << "," << y;
    }
  g_object_unref(shown);
  SelectObject(memory, stock);
  DeleteDC(memory);
  DeleteObject(picture);
}

TEST_F(GtkBackend, AMessageBoxShowsItsTextsOverADisabledOwnerWhileTimersTick) {
  SetTimer(window, 1, 20, nullptr);
  std::string title, text;
  bool owner_sensitive = true;
  int ticks_while_open = 0;
  when_dialog_opens(GTK_TYPE_MESSAGE_DIALOG, [&](GtkWidget* box) {
    title = gtk_window_get_title(GTK_WINDOW(box));
    gchar* shown_text = nullptr;
    g_object_get(box, "text", &shown_text, nullptr);
    text = shown_text ? shown_text : "";
    g_free(shown_text);
    owner_sensitive = gtk_widget_is_sensitive(record->area);
    // Kept open a while longer: the timer must go on.
    g_timeout_add(
        300,
        [](gpointer data) -> gboolean {
          gtk_dialog_response(GTK_DIALOG(data), GTK_RESPONSE_OK);
          return G_SOURCE_REMOVE;
        },
        box);
  });
  const int ticks_before = timer_ticks;
  EXPECT_EQ(MessageBoxW(window, u"Wrong size /tmp/x.ifs", u"Load IFS", MB_OK), IDOK);
  ticks_while_open = timer_ticks - ticks_before;
  KillTimer(window, 1);
  EXPECT_EQ(title, "Load IFS");
  EXPECT_EQ(text, "Wrong size /tmp/x.ifs");
  EXPECT_FALSE(owner_sensitive);
  EXPECT_TRUE(gtk_widget_is_sensitive(record->area));
  EXPECT_GE(ticks_while_open, 5);
}

// Choosing (and the initial folder) is driven by keyboard in the program's
// end-to-end tests; here the request as the dialog shows it, and a cancel.
TEST_F(GtkBackend, TheFileDialogShowsTheRequestAndACancelChoosesNothing) {
  const std::string folder = g_get_tmp_dir();
  const std::u16string wide_folder = gtk_text_utf16(folder.c_str());
  std::string title, initial_name, initial_filter;
  int filter_count = 0;
  bool confirms_overwrite = true, owner_sensitive = true;
  when_dialog_opens(GTK_TYPE_FILE_CHOOSER_DIALOG, [&](GtkWidget* dialog) {
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    title = gtk_window_get_title(GTK_WINDOW(dialog));
    gchar* name = gtk_file_chooser_get_current_name(chooser);
    initial_name = name ? name : "";
    g_free(name);
    initial_filter = gtk_file_filter_get_name(gtk_file_chooser_get_filter(chooser));
    GSList* filters = gtk_file_chooser_list_filters(chooser);
    filter_count = static_cast<int>(g_slist_length(filters));
    g_slist_free(filters);
    confirms_overwrite = gtk_file_chooser_get_do_overwrite_confirmation(chooser);
    owner_sensitive = gtk_widget_is_sensitive(record->area);
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
  });
  WCHAR path[260] = u"picture";
  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = window;
  request.lpstrFilter = u"Portable Network Graphics (*.png)\0*.png\0Bitmap (*.bmp)\0*.bmp\0";
  request.nFilterIndex = 2;
  request.lpstrFile = path;
  request.nMaxFile = 260;
  request.lpstrInitialDir = wide_folder.c_str();
  request.lpstrTitle = u"Please choose file to save";
  EXPECT_FALSE(GetSaveFileNameW(&request));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_EQ(std::u16string(path), u"picture");
  EXPECT_EQ(title, "Please choose file to save");
  EXPECT_EQ(initial_name, "picture");
  EXPECT_EQ(initial_filter, "Bitmap (*.bmp)");
  EXPECT_EQ(filter_count, 2);
  EXPECT_FALSE(confirms_overwrite);
  EXPECT_FALSE(owner_sensitive);
  EXPECT_TRUE(gtk_widget_is_sensitive(record->area));
}

TEST_F(GtkBackend, TheCloseBoxBecomesSystemCommandCloseThenClose) {
  gtk_window_close(GTK_WINDOW(record->window));
  pump_until([] { return logged.size() >= 2; });
  ASSERT_EQ(logged.size(), 2u);
  EXPECT_EQ(logged[0].message, static_cast<UINT>(WM_SYSCOMMAND));
  EXPECT_EQ(logged[0].wparam & 0xFFF0, static_cast<WPARAM>(SC_CLOSE));
  EXPECT_EQ(logged[1].message, static_cast<UINT>(WM_CLOSE));
  EXPECT_TRUE(IsWindow(window));
}

TEST_F(GtkBackend, ClicksAndKeysArriveInClientCoordinatesAndAsVirtualKeys) {
  gint origin_x = 0, origin_y = 0;
  gdk_window_get_origin(gtk_widget_get_window(record->area), &origin_x, &origin_y);
  const std::string move = "xdotool mousemove " + std::to_string(origin_x + 30) + " " + std::to_string(origin_y + 20);
  ASSERT_EQ(std::system(move.c_str()), 0);
  g_usleep(200000);  // GTK takes a click only after the pointer has entered
  ASSERT_EQ(std::system("xdotool click 1"), 0);
  pump_until([] { return !logged.empty(); });
  ASSERT_FALSE(logged.empty());
  EXPECT_EQ(logged[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  EXPECT_EQ(logged[0].lparam, MAKELPARAM(30, 20));

  logged.clear();
  const std::string focus = "xdotool windowfocus --sync " +
                            std::to_string(gdk_x11_window_get_xid(gtk_widget_get_window(record->window)));
  ASSERT_EQ(std::system(focus.c_str()), 0);
  ASSERT_EQ(std::system("xdotool key ctrl+s F5"), 0);
  pump_until([] { return logged.size() >= 3; });
  std::vector<WPARAM> keys;
  for (const Logged& entry : logged) keys.push_back(entry.wparam);
  EXPECT_EQ(keys, (std::vector<WPARAM>{VK_CONTROL, 'S', VK_F1 + 4}));
}

TEST_F(GtkBackend, TheKeyboardStateIsTheDisplaysEvenForKeysTheProgramNeverReceived) {
  ASSERT_EQ(std::system("xdotool keydown Escape"), 0);
  EXPECT_TRUE(GetAsyncKeyState(VK_ESCAPE) & 0x8000);
  EXPECT_FALSE(GetAsyncKeyState('A') & 0x8000);
  ASSERT_EQ(std::system("xdotool keyup Escape"), 0);
  EXPECT_FALSE(GetAsyncKeyState(VK_ESCAPE) & 0x8000);
}

}  // namespace
