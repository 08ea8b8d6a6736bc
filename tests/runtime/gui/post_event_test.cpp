#include "runtime/gui/post_event.h"

#include "support/gui_runtime.h"
#include "platform/win32/kernel32.h"
#include "runtime/core/heaps.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/event_queue.h"

namespace {

class PostEventTest : public GuiRuntimeTest {};

TEST_F(PostEventTest, APostedRecordBecomesAQueuedEvent) {
  HWND hidden = post_event_window();
  ASSERT_NE(hidden, nullptr);
  EXPECT_FALSE(IsWindowVisible(hidden));
  const UINT message = post_event_message();
  EXPECT_GE(message, 0xC000u);
  EXPECT_EQ(RegisterWindowMessageA("ZQ_PostEventMessage"), message);

  auto* posted = static_cast<PostedEvent*>(HeapAlloc(main_heap(), HEAP_ZERO_MEMORY, sizeof(PostedEvent)));
  ASSERT_NE(posted, nullptr);
  int payload = 0;
  *posted = PostedEvent{0, EVENT_MENU, 42, 3, 0, &payload};
  ASSERT_TRUE(PostMessageA(hidden, message, 0, reinterpret_cast<LPARAM>(posted)));
  EXPECT_EQ(event_wait(0), static_cast<std::int32_t>(message)) << "the raw message first";
  EXPECT_EQ(event_wait(0), EVENT_MENU);
  EXPECT_EQ(event_menu_item(), 42);
  EXPECT_EQ(event_window(), 3);
  EXPECT_EQ(event_data(), &payload);
}

}  // namespace
