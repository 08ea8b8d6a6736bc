// Gives each test a fresh main heap and destroys it afterwards, so that every
// record a test leaves behind goes with the heap.
#pragma once

#include <gtest/gtest.h>

#include "runtime/core/heaps.h"

class MainHeapTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(main_heap_create()); }
  void TearDown() override { main_heap_destroy(); }
};
