// A started runtime over the headless display for each test, and helpers to
// read what the event loop hands out.
#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include "runtime/core/registry.h"

struct SeenEvent {
  std::int32_t code;
  ObjectId object;
  ObjectId window;
  std::int32_t type;
  bool operator==(const SeenEvent&) const = default;
};
std::ostream& operator<<(std::ostream& out, const SeenEvent& event);

// Calls event_wait(0) until nothing is left and returns the events (codes of
// the runtime's range) in the order they came, leaving out raw messages.
std::vector<SeenEvent> gui_drain_events();
// The codes alone.
std::vector<std::int32_t> gui_drain_codes();

class GuiRuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};
