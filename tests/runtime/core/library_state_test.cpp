#include "runtime/core/library_state.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "support/main_heap_fixture.h"

namespace {

struct ExampleState {
  std::int32_t depth;
  void* pool;
  std::int32_t stack[10];
};

std::vector<void*> initialised;
int cleanups = 0;

void record_init(void* state) {
  auto* example = static_cast<ExampleState*>(state);
  // The block arrives zero-filled.
  initialised.push_back(example->depth == 0 && example->pool == nullptr && example->stack[9] == 0 ? state : nullptr);
  example->depth = 10;
}

void count_cleanup(void*) { ++cleanups; }

using LibraryStateTest = MainHeapTest;

TEST_F(LibraryStateTest, StateIsZeroFilledInitialisedOnceAndNeverCleanedUp) {
  initialised.clear();
  cleanups = 0;
  void* state = library_state_create(sizeof(ExampleState), record_init, count_cleanup);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(initialised, std::vector<void*>{state});
  EXPECT_EQ(library_state_get(state), state);
  EXPECT_EQ(static_cast<ExampleState*>(library_state_get(state))->depth, 10);
  EXPECT_EQ(cleanups, 0);

  auto* plain = static_cast<ExampleState*>(library_state_create(sizeof(ExampleState), nullptr, nullptr));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->depth, 0);
  EXPECT_EQ(initialised.size(), 1u);
}

TEST_F(LibraryStateTest, EmptyOrNegativeSizesGiveNull) {
  EXPECT_EQ(library_state_create(0, nullptr, nullptr), nullptr);
  EXPECT_EQ(library_state_create(-8, record_init, nullptr), nullptr);
}

}  // namespace
