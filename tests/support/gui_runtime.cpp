#include "gui_runtime.h"

#include "platform/backend/headless/headless.h"
#include "runtime/core/startup.h"
#include "runtime/gui/event_codes.h"
#include "runtime/gui/event_loop.h"
#include "runtime/gui/event_queue.h"

namespace {

bool is_event_code(std::int32_t code) { return code >= EVENT_GADGET && code <= EVENT_SIZE; }

}  // namespace

std::ostream& operator<<(std::ostream& out, const SeenEvent& event) {
  return out << "{code " << event.code << ", object " << event.object << ", window " << event.window << ", type "
             << event.type << "}";
}

std::vector<SeenEvent> gui_drain_events() {
  std::vector<SeenEvent> events;
  // A bound keeps a faulty loop from hanging the test.
  for (int step = 0; step < 10000; ++step) {
    const std::int32_t code = event_wait(0);
    if (code == 0) break;
    if (is_event_code(code)) events.push_back(SeenEvent{code, event_menu_item(), event_window(), event_type()});
  }
  return events;
}

std::vector<std::int32_t> gui_drain_codes() {
  std::vector<std::int32_t> codes;
  for (const SeenEvent& event : gui_drain_events()) codes.push_back(event.code);
  return codes;
}

void GuiRuntimeTest::SetUp() {
  headless_reset();
  ASSERT_TRUE(program_begin());
}

void GuiRuntimeTest::TearDown() {
  program_end();
  headless_reset();
}
