// What reaches the headless screen: drawing through window device contexts into the
// client surface of the top-level window, children as rectangles of it,
// WM_PAINT and erasing, focus frames and bitmaps drawn by DrawStateW. Every
// case runs twice: on pixels in user32's memory, and on pixels the display
// keeps itself and user32 reaches only through its calls (as on X11).
#include "support/headless_session.h"
#include "platform/win32/gdi32.h"
#include "support/gdi_bitmaps.h"

namespace {

class Painting : public HeadlessSession, public testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    HeadlessSession::SetUp();
    headless_display_keeps_window_pixels(GetParam() ? TRUE : FALSE);
  }
};

INSTANTIATE_TEST_SUITE_P(Pixels, Painting, testing::Bool(), [](const testing::TestParamInfo<bool>& param_info) {
  return param_info.param ? "KeptByTheDisplay" : "InUser32Memory";
});

constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF BLUE = RGB(0, 0, 255);
constexpr COLORREF GREEN = RGB(0, 128, 0);

void fill(HDC dc, RECT rect, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

HWND shown_window(int width = 120, int height = 80) {
  HWND window = create_logging_window(width, height);
  pump_messages();
  return window;
}

TEST_P(Painting, DrawingThroughGetDcIsShownWhenReleased) {
  HWND window = shown_window();
  EXPECT_EQ(headless_surface_size(window).cx, 120);
  EXPECT_EQ(headless_surface_size(window).cy, 80);
  HDC dc = GetDC(window);
  ASSERT_NE(dc, nullptr);
  fill(dc, RECT{0, 0, 10, 10}, RED);
  EXPECT_NE(headless_surface_pixel(window, 5, 5), RED);  // not presented yet
  ASSERT_EQ(ReleaseDC(window, dc), 1);
  EXPECT_EQ(headless_surface_pixel(window, 0, 0), RED);
  EXPECT_EQ(headless_surface_pixel(window, 9, 9), RED);
  EXPECT_NE(headless_surface_pixel(window, 10, 9), RED);
  EXPECT_EQ(headless_surface_pixel(window, 120, 0), 0xFFFFFFFFu);  // outside the surface
  EXPECT_EQ(ReleaseDC(window, dc), 0);  // released once only
}

TEST_P(Painting, ChildDrawsIntoItsRectangleOfTheParentSurfaceOnly) {
  HWND window = shown_window();
  register_logging_class();
  HWND child = CreateWindowExW(WS_EX_CLIENTEDGE, LOGGING_CLASS, u"", WS_CHILD | WS_VISIBLE, 20, 30, 40, 30, window,
                               nullptr, nullptr, nullptr);
  pump_messages();
  HDC dc = GetDC(child);
  fill(dc, RECT{-100, -100, 1000, 1000}, BLUE);
  fill(dc, RECT{0, 0, 1, 1}, RED);  // the child's client origin
  ReleaseDC(child, dc);
  // The client area starts inside the 2-pixel edge: (22, 32) to (58, 58).
  EXPECT_EQ(headless_surface_pixel(window, 22, 32), RED);
  EXPECT_EQ(headless_surface_pixel(window, 23, 32), BLUE);
  EXPECT_EQ(headless_surface_pixel(window, 57, 57), BLUE);
  EXPECT_NE(headless_surface_pixel(window, 58, 57), BLUE);
  EXPECT_NE(headless_surface_pixel(window, 57, 58), BLUE);
  EXPECT_NE(headless_surface_pixel(window, 21, 40), BLUE);
  EXPECT_NE(headless_surface_pixel(window, 0, 0), BLUE);
}

TEST_P(Painting, ChildPartlyOutsideItsParentIsClippedToTheParent) {
  HWND window = shown_window(100, 50);
  HWND child = create_logging_child(window, 80, 40, 50, 50);
  pump_messages();
  HDC dc = GetDC(child);
  fill(dc, RECT{0, 0, 50, 50}, BLUE);
  ReleaseDC(child, dc);
  EXPECT_EQ(headless_surface_pixel(window, 99, 49), BLUE);
  EXPECT_EQ(headless_surface_pixel(window, 79, 49), RGB(255, 255, 255));  // the erased background
}

HBRUSH green_brush;
std::vector<RECT> painted;

LRESULT painting_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  message_log().push_back(LoggedMessage{window, message, wparam, lparam});
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    painted.push_back(paint.rcPaint);
    fill(dc, RECT{10, 10, 20, 20}, RED);
    EndPaint(window, &paint);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND painting_window() {
  green_brush = CreateSolidBrush(GREEN);
  painted.clear();
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = painting_proc;
  window_class.hbrBackground = green_brush;
  window_class.lpszClassName = u"Painting";
  RegisterClassW(&window_class);
  return CreateWindowExW(0, u"Painting", u"", WS_CAPTION | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                         nullptr);
}

TEST_P(Painting, ShowingErasesWithTheClassBrushAndWmPaintDrawsTheRest) {
  HWND window = painting_window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(headless_surface_pixel(window, 50, 50), GREEN);  // erased while being shown
  pump_messages();
  ASSERT_EQ(painted.size(), 1u);
  RECT client;
  GetClientRect(window, &client);
  EXPECT_TRUE(EqualRect(&painted[0], &client));
  EXPECT_EQ(headless_surface_pixel(window, 15, 15), RED);
  EXPECT_EQ(headless_surface_pixel(window, 25, 25), GREEN);
  DestroyWindow(window);
  DeleteObject(green_brush);
}

TEST_P(Painting, FocusFrameIsADottedInversionThatUndoesItself) {
  HWND window = shown_window(40, 40);
  HDC dc = GetDC(window);
  fill(dc, RECT{0, 0, 40, 40}, RGB(0, 0, 0));
  RECT frame{2, 2, 12, 8};
  ASSERT_TRUE(DrawFocusRect(dc, &frame));
  ReleaseDC(window, dc);
  const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);
  EXPECT_EQ(headless_surface_pixel(window, 2, 2), white);   // corner, on the dot pattern
  EXPECT_EQ(headless_surface_pixel(window, 3, 2), black);   // every other pixel
  EXPECT_EQ(headless_surface_pixel(window, 4, 2), white);
  EXPECT_EQ(headless_surface_pixel(window, 11, 7), white);  // bottom-right corner (11 + 7 even)
  EXPECT_EQ(headless_surface_pixel(window, 2, 4), white);   // left edge
  EXPECT_EQ(headless_surface_pixel(window, 6, 4), black);   // inside stays
  EXPECT_EQ(headless_surface_pixel(window, 12, 2), black);  // right of the frame
  dc = GetDC(window);
  DrawFocusRect(dc, &frame);
  ReleaseDC(window, dc);
  for (int x = 0; x < 14; ++x)
    for (int y = 0; y < 10; ++y) ASSERT_EQ(headless_surface_pixel(window, x, y), black) << x << "," << y;
}

TEST_P(Painting, DrawStateCopiesABitmapInItsOwnSize) {
  HWND window = shown_window(40, 40);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 3;
  info.bmiHeader.biHeight = 2;  // bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  auto* bytes = static_cast<BYTE*>(bits);
  // Row 0 in memory is the bottom line: make it blue, the top line red (B, G, R bytes; rows of 12 bytes).
  for (int x = 0; x < 3; ++x) {
    bytes[x * 3 + 0] = 255;
    bytes[12 + x * 3 + 2] = 255;
  }
  HDC dc = GetDC(window);
  fill(dc, RECT{0, 0, 40, 40}, RGB(0, 0, 0));
  ASSERT_TRUE(DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, 5, 6, 0, 0, DST_BITMAP));
  ReleaseDC(window, dc);
  EXPECT_EQ(headless_surface_pixel(window, 5, 6), RED);
  EXPECT_EQ(headless_surface_pixel(window, 7, 6), RED);
  EXPECT_EQ(headless_surface_pixel(window, 5, 7), BLUE);
  EXPECT_EQ(headless_surface_pixel(window, 8, 7), RGB(0, 0, 0));
  EXPECT_EQ(headless_surface_pixel(window, 5, 8), RGB(0, 0, 0));
  EXPECT_FALSE(DrawStateW(nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, 0, DST_BITMAP));
  DeleteObject(bitmap);
}

TEST_P(Painting, ResizingKeepsWhatFitsAndShowsTheNewSize) {
  HWND window = shown_window(50, 50);
  HDC dc = GetDC(window);
  fill(dc, RECT{0, 0, 50, 50}, BLUE);
  ReleaseDC(window, dc);
  RECT outer;
  GetWindowRect(window, &outer);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + 30, outer.bottom - outer.top - 20,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  dc = GetDC(window);
  ReleaseDC(window, dc);
  EXPECT_EQ(headless_surface_size(window).cx, 80);
  EXPECT_EQ(headless_surface_size(window).cy, 30);
  EXPECT_EQ(headless_surface_pixel(window, 49, 29), BLUE);
  EXPECT_NE(headless_surface_pixel(window, 50, 0), BLUE);
}

void resize_client_by(HWND window, int wider, int taller) {
  RECT outer;
  GetWindowRect(window, &outer);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + wider, outer.bottom - outer.top + taller,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  HDC dc = GetDC(window);  // presents the surface in its new size
  ReleaseDC(window, dc);
}

// A client area that shrinks (as when a menu bar comes) and grows back shows
// black where it grew, not what was drawn there before it shrank.
TEST_P(Painting, AClientAreaGrownBackStartsBlackWhereItGrew) {
  HWND window = shown_window(50, 50);
  HDC dc = GetDC(window);
  fill(dc, RECT{0, 0, 50, 50}, BLUE);
  ReleaseDC(window, dc);
  resize_client_by(window, 0, -20);
  resize_client_by(window, -20, 0);
  EXPECT_EQ(headless_surface_size(window).cx, 30);
  EXPECT_EQ(headless_surface_size(window).cy, 30);
  EXPECT_EQ(headless_surface_pixel(window, 29, 29), BLUE);
  resize_client_by(window, 20, 20);
  EXPECT_EQ(headless_surface_size(window).cx, 50);
  EXPECT_EQ(headless_surface_pixel(window, 29, 29), BLUE);
  EXPECT_EQ(headless_surface_pixel(window, 40, 10), RGB(0, 0, 0));
  EXPECT_EQ(headless_surface_pixel(window, 10, 40), RGB(0, 0, 0));
}

TEST_P(Painting, AScreenThatKeepsNoPixelsStillCountsPresentsAndShowsAllAgainOnceItKeepsThem) {
  headless_keep_presented_pixels(FALSE);
  HWND window = shown_window();
  const int presents = headless_present_count(window);
  HDC dc = GetDC(window);
  fill(dc, RECT{0, 0, 10, 10}, RED);
  EXPECT_EQ(GetPixel(dc, 5, 5), CLR_INVALID) << "an unseen window draws nothing";
  ReleaseDC(window, dc);
  EXPECT_EQ(headless_present_count(window), presents + 1);
  EXPECT_EQ(headless_surface_size(window).cx, 120);
  EXPECT_EQ(headless_surface_pixel(window, 5, 5), 0xFFFFFFFFu) << "nothing kept";
  RECT update{};
  EXPECT_FALSE(GetUpdateRect(window, &update, FALSE)) << "nothing to paint yet";

  headless_keep_presented_pixels(TRUE);
  EXPECT_EQ(headless_surface_pixel(window, 5, 5), 0xFFFFFFFFu) << "nothing presented since";
  // The screen that starts keeping pixels has the whole window painted afresh.
  ASSERT_TRUE(GetUpdateRect(window, &update, FALSE));
  EXPECT_EQ(update.right - update.left, 120);
  EXPECT_EQ(update.bottom - update.top, 80);
  dc = GetDC(window);
  fill(dc, RECT{50, 50, 60, 60}, BLUE);
  ReleaseDC(window, dc);
  EXPECT_EQ(headless_surface_pixel(window, 55, 55), BLUE);
  EXPECT_EQ(headless_surface_size(window).cy, 80);
}

}  // namespace

namespace {

// A memory DC holding a new DIB, released with the DC.
struct MemoryPicture {
  MemoryPicture(int width, int height, int bits_per_pixel) {
    dib = make_dib(width, height, bits_per_pixel, &bits);
    dc = CreateCompatibleDC(nullptr);
    stock = SelectObject(dc, dib);
  }
  ~MemoryPicture() {
    SelectObject(dc, stock);
    DeleteDC(dc);
    DeleteObject(dib);
  }
  BYTE* bits = nullptr;
  HBITMAP dib = nullptr;
  HDC dc = nullptr;
  HGDIOBJ stock = nullptr;
};

// A colour no two nearby pixels share.
COLORREF pattern_at(int x, int y) { return RGB(x & 255, y & 255, (x * 3 + y * 5) & 255); }

// Gives every pixel of a 24-bit picture the colour colour_at(x, y) names (y = 0: the top line).
template <typename ColourAt>
void paint_picture(const MemoryPicture& picture, int width, int height, ColourAt colour_at) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      BYTE* pixel = bottom_up_pixel(picture.bits, aligned_row_bytes(width, 24), height, x, y, 3);
      const COLORREF colour = colour_at(x, y);
      pixel[0] = GetBValue(colour);
      pixel[1] = GetGValue(colour);
      pixel[2] = GetRValue(colour);
    }
}

// Copies the whole picture onto the window, as the canvas repaints it.
bool blit_whole(HWND window, const MemoryPicture& picture, int width, int height) {
  HDC dc = GetDC(window);
  const bool copied = BitBlt(dc, 0, 0, width, height, picture.dc, 0, 0, SRCCOPY) != FALSE;
  ReleaseDC(window, dc);
  return copied;
}

// Whether the screen shows colour_at(x, y) at every pixel of the window; the first that differs, if not.
template <typename ColourAt>
testing::AssertionResult screen_shows(HWND window, int width, int height, ColourAt colour_at) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (headless_surface_pixel(window, x, y) != colour_at(x, y))
        return testing::AssertionFailure() << "(" << x << ", " << y << ") shows " << std::hex
                                           << headless_surface_pixel(window, x, y) << ", not " << colour_at(x, y);
  return testing::AssertionSuccess();
}

}  // namespace

// The canvas's repaint: a 24-bit picture the size of the window in one BitBlt.
// Where the display keeps the pixels, they travel in bands: the program never
// holds a copy of the whole window.
TEST_P(Painting, AWholeWindowPictureArrivesPixelForPixel) {
  constexpr int WIDTH = 600, HEIGHT = 400;
  HWND window = shown_window(WIDTH, HEIGHT);
  MemoryPicture picture(WIDTH, HEIGHT, 24);
  paint_picture(picture, WIDTH, HEIGHT, pattern_at);
  ASSERT_TRUE(blit_whole(window, picture, WIDTH, HEIGHT));
  EXPECT_TRUE(screen_shows(window, WIDTH, HEIGHT, pattern_at));
  if (GetParam()) {
    EXPECT_GT(headless_largest_display_transfer(), 0u);
    EXPECT_LE(headless_largest_display_transfer() * 4, 16u * 1024) << "pixels moved at most 16 KiB at a time";
  }
}

// Rows of one colour reach the display as fills. A band with one pixel unlike
// the rest, by one in one channel, at a row's end or in the last short band,
// or a band that mixes two colours, travels pixel for pixel.
TEST_P(Painting, PlainBandsTravelAsFillsAndEveryOtherPixelArrives) {
  constexpr int WIDTH = 600, HEIGHT = 400;
  constexpr COLORREF ALMOST_BLUE = RGB(0, 0, 254);
  auto colour_at = [](int x, int y) {
    if ((x == WIDTH - 1 && y == 198) || (x == 0 && y == HEIGHT - 1)) return ALMOST_BLUE;
    return y <= 300 ? BLUE : RED;
  };
  HWND window = shown_window(WIDTH, HEIGHT);
  MemoryPicture picture(WIDTH, HEIGHT, 24);
  paint_picture(picture, WIDTH, HEIGHT, colour_at);
  const size_t moved_before = headless_display_pixels_moved();
  ASSERT_TRUE(blit_whole(window, picture, WIDTH, HEIGHT));
  EXPECT_TRUE(screen_shows(window, WIDTH, HEIGHT, colour_at));
  if (GetParam()) {
    const size_t moved = headless_display_pixels_moved() - moved_before;
    EXPECT_GT(moved, 0u);
    EXPECT_LE(moved * 4, 3u * 16 * 1024) << "only the three bands that are not plain moved their pixels";
  }
}

// Operations that combine with what the window shows read it first, and what
// is read back from a window has GDI's 0 in the fourth byte.
TEST_P(Painting, CombiningOperationsAndReadsSeeWhatTheWindowShows) {
  constexpr COLORREF MAGENTA = RGB(255, 0, 255);  // blue XOR red
  HWND window = shown_window(40, 30);
  MemoryPicture red(10, 10, 24);
  fill(red.dc, RECT{0, 0, 10, 10}, RED);
  HDC dc = GetDC(window);
  fill(dc, RECT{0, 0, 40, 30}, BLUE);
  ASSERT_TRUE(BitBlt(dc, 5, 5, 10, 10, red.dc, 0, 0, SRCINVERT));
  HBRUSH green = CreateSolidBrush(GREEN);
  HGDIOBJ old_brush = SelectObject(dc, green);
  ASSERT_TRUE(PatBlt(dc, 20, 0, 10, 10, PATINVERT));
  SelectObject(dc, old_brush);
  DeleteObject(green);
  // Two pixels to the right, overlapping itself.
  ASSERT_TRUE(BitBlt(dc, 7, 5, 10, 10, dc, 5, 5, SRCCOPY));
  EXPECT_EQ(SetPixel(dc, 39, 29, RED), RED);
  EXPECT_EQ(GetPixel(dc, 39, 29), RED);
  EXPECT_EQ(GetPixel(dc, 16, 14), MAGENTA);
  MemoryPicture copy(40, 30, 32);
  ASSERT_TRUE(BitBlt(copy.dc, 0, 0, 40, 30, dc, 0, 0, SRCCOPY));
  ReleaseDC(window, dc);

  EXPECT_EQ(headless_surface_pixel(window, 5, 5), MAGENTA);
  EXPECT_EQ(headless_surface_pixel(window, 16, 14), MAGENTA);
  EXPECT_EQ(headless_surface_pixel(window, 17, 5), BLUE);
  EXPECT_EQ(headless_surface_pixel(window, 20, 0), RGB(0, 128, 255));  // blue XOR green
  EXPECT_EQ(headless_surface_pixel(window, 30, 0), BLUE);
  EXPECT_EQ(headless_surface_pixel(window, 39, 29), RED);
  const BYTE* pixel = bottom_up_pixel(copy.bits, 40 * 4, 30, 8, 6, 4);
  EXPECT_EQ(pixel[0], 255);
  EXPECT_EQ(pixel[1], 0);
  EXPECT_EQ(pixel[2], 255);
  EXPECT_EQ(pixel[3], 0);
}
