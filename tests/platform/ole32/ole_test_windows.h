// Windows for the drag-and-drop tests: a top-level window at a known place with
// two child windows side by side, OLE initialised meanwhile. On Linux they live
// on the headless display; on Windows on the system's.
#pragma once

#include <gtest/gtest.h>

#ifndef _WIN32
#include "platform/backend/headless/headless.h"
#endif
#include "platform/win32/ole32.h"
#include "platform/win32/user32.h"

class OleWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.lpszClassName = u"OleTestWindow";
    RegisterClassW(&window_class);
    top = CreateWindowExW(0, u"OleTestWindow", u"drops", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 400, 300,
                          nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(top, nullptr);
    left_child = child_at(10, 20);
    right_child = child_at(200, 20);
  }

  void TearDown() override {
    if (IsWindow(top)) DestroyWindow(top);
    UnregisterClassW(u"OleTestWindow", nullptr);
#ifndef _WIN32
    headless_reset();
#endif
    OleUninitialize();
  }

  // Screen position of a client point of `window`, as targets receive it.
  static POINTL screen_point(HWND window, POINT client_point) {
    ClientToScreen(window, &client_point);
    return {client_point.x, client_point.y};
  }

  HWND top = nullptr;
  HWND left_child = nullptr;   // client (10, 20) to (110, 100)
  HWND right_child = nullptr;  // client (200, 20) to (300, 100)

 private:
  HWND child_at(int x, int y) {
    return CreateWindowExW(0, u"OleTestWindow", u"", WS_CHILD | WS_VISIBLE, x, y, 100, 80, top, nullptr, nullptr,
                           nullptr);
  }
};
