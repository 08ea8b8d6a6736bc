#include "runtime/gui/event_queue.h"

#include <vector>

#include <gtest/gtest.h>

#include "support/main_heap_fixture.h"
#include "runtime/gui/event_codes.h"

namespace {

class EventQueueTest : public MainHeapTest {
 protected:
  void SetUp() override {
    MainHeapTest::SetUp();
    event_queue_init();
  }
  void TearDown() override {
    event_queue_shutdown();
    MainHeapTest::TearDown();
  }

  std::vector<std::int32_t> drain() {
    std::vector<std::int32_t> codes;
    while (const std::int32_t code = event_pop()) codes.push_back(code);
    return codes;
  }
};

// Records which data blocks were released, in order.
std::vector<void*> released;
void note_release(void* data) { released.push_back(data); }

TEST_F(EventQueueTest, IdenticalEventsAtTheTailCoalesceOthersDoNot) {
  event_push(EVENT_TIMER, 123, 0, 0, nullptr, nullptr);
  event_push(EVENT_TIMER, 123, 0, 0, nullptr, nullptr);
  EXPECT_EQ(drain(), (std::vector<std::int32_t>{EVENT_TIMER}));

  event_push(EVENT_TIMER, 123, 0, 0, nullptr, nullptr);
  event_push(EVENT_REPAINT, 0, 0, 0, nullptr, nullptr);
  event_push(EVENT_TIMER, 123, 0, 0, nullptr, nullptr);
  EXPECT_EQ(drain(), (std::vector<std::int32_t>{EVENT_TIMER, EVENT_REPAINT, EVENT_TIMER}));

  // Any differing field keeps both.
  event_push(EVENT_TIMER, 123, 0, 0, nullptr, nullptr);
  event_push(EVENT_TIMER, 124, 0, 0, nullptr, nullptr);
  event_push(EVENT_TIMER, 124, 1, 0, nullptr, nullptr);
  event_push(EVENT_TIMER, 124, 1, 5, nullptr, nullptr);
  EXPECT_EQ(drain().size(), 4u);

  // Codes from 0x10000 on are never coalesced.
  event_push(0x10000, 1, 0, 0, nullptr, nullptr);
  event_push(0x10000, 1, 0, 0, nullptr, nullptr);
  EXPECT_EQ(drain().size(), 2u);
}

TEST_F(EventQueueTest, PopHandsOutFieldsInOrderAndAnEmptyQueueKeepsWindowAndObject) {
  event_push(EVENT_GADGET, 7, 2, 65540, nullptr, nullptr);
  event_push(EVENT_MENU, 1, 0, 0, nullptr, nullptr);
  EXPECT_EQ(event_pop(), EVENT_GADGET);
  EXPECT_EQ(event_menu_item(), 7);
  EXPECT_EQ(event_window(), 2);
  EXPECT_EQ(event_type(), 65540);
  EXPECT_EQ(event_pop(), EVENT_MENU);
  EXPECT_EQ(event_menu_item(), 1);
  EXPECT_EQ(event_window(), 0);

  EXPECT_EQ(event_pop(), 0);
  EXPECT_EQ(event_current_code(), 0);
  EXPECT_EQ(event_menu_item(), 1);
  EXPECT_EQ(event_window(), 0);
  EXPECT_EQ(event_type(), -1);
}

TEST_F(EventQueueTest, DataStaysValidUntilThePopAfterTheOneThatMadeItCurrent) {
  released.clear();
  int first = 1;
  int second = 2;
  event_push(EVENT_GADGET_DROP, 0, 0, 0, &first, note_release);
  event_push(EVENT_GADGET_DROP, 1, 0, 0, &second, note_release);
  EXPECT_EQ(event_pop(), EVENT_GADGET_DROP);
  EXPECT_EQ(event_data(), &first);
  EXPECT_TRUE(released.empty());
  EXPECT_EQ(event_pop(), EVENT_GADGET_DROP);
  EXPECT_EQ(event_data(), &second);
  EXPECT_EQ(released, (std::vector<void*>{&first}));
  // The empty pop still releases the last event's data.
  EXPECT_EQ(event_pop(), 0);
  EXPECT_EQ(event_data(), nullptr);
  EXPECT_EQ(released, (std::vector<void*>{&first, &second}));
}

TEST_F(EventQueueTest, EventsCarryingDataAreNeverAbsorbed) {
  released.clear();
  int first = 1;
  int second = 2;
  event_push(EVENT_GADGET, 0, 0, 65549, &first, note_release);
  event_push(EVENT_GADGET, 0, 0, 65549, &second, note_release);
  EXPECT_TRUE(released.empty());
  EXPECT_EQ(event_pop(), EVENT_GADGET);
  EXPECT_EQ(event_data(), &first);
  EXPECT_EQ(event_pop(), EVENT_GADGET);
  EXPECT_EQ(event_data(), &second);
  event_pop();
  // A data-less duplicate still joins an event with data at the tail.
  event_push(EVENT_GADGET, 0, 0, 65549, &first, note_release);
  event_push(EVENT_GADGET, 0, 0, 65549, nullptr, nullptr);
  EXPECT_EQ(drain().size(), 1u);
}

TEST_F(EventQueueTest, PurgeMatchesWildcardsKeepsOrderAndReleasesData) {
  released.clear();
  int data = 0;
  event_push(EVENT_GADGET, 1, 0, 5, &data, note_release);
  event_push(EVENT_TIMER, 123, 0, 0, nullptr, nullptr);
  event_push(EVENT_GADGET, 2, 0, 6, nullptr, nullptr);
  event_push(EVENT_GADGET, 1, 3, 7, nullptr, nullptr);
  event_push(EVENT_MENU, 1, 0, 0, nullptr, nullptr);
  event_purge(EVENT_GADGET, 1, -1, -1);
  EXPECT_EQ(released, (std::vector<void*>{&data}));
  EXPECT_EQ(event_pop(), EVENT_TIMER);
  EXPECT_EQ(event_pop(), EVENT_GADGET);
  EXPECT_EQ(event_menu_item(), 2);
  EXPECT_EQ(event_pop(), EVENT_MENU);
  EXPECT_EQ(event_pop(), 0);

  // The tail is recomputed: a push after purging the tail links correctly.
  event_push(EVENT_SIZE, 0, 0, 0, nullptr, nullptr);
  event_push(EVENT_MOVE, 0, 0, 0, nullptr, nullptr);
  event_purge(EVENT_MOVE, -1, -1, -1);
  event_push(EVENT_MOVE, 0, 0, 0, nullptr, nullptr);
  EXPECT_EQ(drain(), (std::vector<std::int32_t>{EVENT_SIZE, EVENT_MOVE}));
}

TEST_F(EventQueueTest, PurgeWindowRemovesOnlyThatWindowsEvents) {
  event_push(EVENT_SIZE, 0, 1, 0, nullptr, nullptr);
  event_push(EVENT_SIZE, 0, 2, 0, nullptr, nullptr);
  event_push(EVENT_MOVE, 1, 1, 0, nullptr, nullptr);
  event_push(EVENT_CLOSE, 2, 2, 0, nullptr, nullptr);
  event_purge_window(1);
  EXPECT_EQ(drain(), (std::vector<std::int32_t>{EVENT_SIZE, EVENT_CLOSE}));
  EXPECT_EQ(event_window(), 2);
}

TEST_F(EventQueueTest, DynamicIdsSurviveWhole) {
  const ObjectId dynamic = static_cast<ObjectId>(0x7FFF12345678);
  event_push(EVENT_CLOSE, dynamic, dynamic, 0, nullptr, nullptr);
  EXPECT_EQ(event_pop(), EVENT_CLOSE);
  EXPECT_EQ(event_menu_item(), dynamic);
  EXPECT_EQ(event_window(), dynamic);
}

TEST(EventQueueWithoutState, PushReleasesDataAndPopGivesNothing) {
  released.clear();
  int data = 0;
  event_push(EVENT_MENU, 0, 0, 0, &data, note_release);
  EXPECT_EQ(released, (std::vector<void*>{&data}));
  EXPECT_EQ(event_pop(), 0);
}

}  // namespace
