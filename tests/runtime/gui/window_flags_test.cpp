#include "runtime/gui/window_flags.h"

#include <gtest/gtest.h>

#include "platform/win32/user32.h"

namespace {

TEST(WindowFlags, TheApplicationsFlagsGiveAFixedCaptionedCentredWindow) {
  const WindowFlags flags = window_flags_decode(0xCA0001);
  EXPECT_EQ(window_flags_create_style(flags.style),
            static_cast<std::uint32_t>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
  EXPECT_EQ(flags.style & 0x1u, 0x1u) << "the centring bit stays for window_open";
  EXPECT_EQ(flags.ex_style, 0u);
  EXPECT_TRUE(flags.become_container);
  EXPECT_TRUE(flags.show);
  EXPECT_FALSE(flags.no_activate);
}

TEST(WindowFlags, PlacementAloneAddsACaption) {
  for (std::uint32_t flags : {0x0u, 0x1u, 0x2u, 0x8u, 0x10000000u, 0x10000003u}) {
    SCOPED_TRACE(flags);
    EXPECT_EQ(window_flags_decode(flags).style & WS_CAPTION, static_cast<std::uint32_t>(WS_CAPTION));
  }
  EXPECT_EQ(window_flags_decode(WS_POPUP).style & WS_CAPTION, 0u);
  EXPECT_EQ(window_flags_decode(WS_POPUP | 0x8).style & WS_CAPTION, 0u);
}

TEST(WindowFlags, SwitchesAreTakenOutOfTheStyle) {
  const WindowFlags invisible = window_flags_decode(WS_POPUP | 0x10000000);
  EXPECT_FALSE(invisible.show);
  EXPECT_EQ(invisible.style & WS_VISIBLE, 0u);

  const WindowFlags quiet = window_flags_decode(WS_POPUP | 0x2000000);
  EXPECT_TRUE(quiet.no_activate);
  EXPECT_EQ(window_flags_create_style(quiet.style) & 0x2000000u, 0u);

  const WindowFlags no_container = window_flags_decode(WS_POPUP | 0x8);
  EXPECT_FALSE(no_container.become_container);
  EXPECT_EQ(window_flags_create_style(no_container.style), static_cast<std::uint32_t>(WS_POPUP));
}

TEST(WindowFlags, AToolWindowLosesMinimizeAndMaximizeAndGainsACaption) {
  const WindowFlags tool =
      window_flags_decode(WS_POPUP | WS_MINIMIZE | WS_MAXIMIZE | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | 0x4);
  EXPECT_EQ(tool.ex_style, static_cast<std::uint32_t>(WS_EX_TOOLWINDOW));
  EXPECT_EQ(window_flags_create_style(tool.style), static_cast<std::uint32_t>(WS_POPUP | WS_CAPTION));
  EXPECT_EQ(window_flags_frame_style(tool.style) & 0x7u, 0u);
}

}  // namespace
