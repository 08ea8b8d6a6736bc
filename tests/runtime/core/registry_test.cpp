#include "runtime/core/registry.h"

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "support/main_heap_fixture.h"

namespace {

// A record as the libraries lay them out: the handle first.
struct TestRecord {
  std::uintptr_t handle;
  int payload[6];
};

ObjectRegistry* current_registry = nullptr;
std::vector<ObjectId> freed_ids;

// Behaves like a library's free operation: destroys the object, then releases it.
void release_on_free(ObjectId id) {
  if (id == AUTO_ID) {
    registry_free_all(current_registry);
    return;
  }
  freed_ids.push_back(id);
  object_release(current_registry, id);
}

class RegistryTest : public MainHeapTest {
 protected:
  void SetUp() override {
    MainHeapTest::SetUp();
    freed_ids.clear();
    registry = registry_create(sizeof(TestRecord), 16, release_on_free);
    ASSERT_NE(registry, nullptr);
    current_registry = registry;
  }

  // The create operation of a library: allocate, then put a live handle in.
  TestRecord* create(ObjectId number, std::uintptr_t handle = 0x1234) {
    auto* record = static_cast<TestRecord*>(object_allocate(registry, number));
    if (record) record->handle = handle;
    return record;
  }

  ObjectRegistry* registry = nullptr;
};

TEST_F(RegistryTest, SlotArrayGrowsByTheStepPastTheHighestNumber) {
  EXPECT_EQ(registry->slot_count, 16);
  ASSERT_NE(create(5), nullptr);
  EXPECT_EQ(registry->slot_count, 16);
  ASSERT_NE(create(20), nullptr);
  EXPECT_EQ(registry->slot_count, 36);
  for (int n = 16; n < 36; ++n) {
    if (n == 20) continue;
    EXPECT_EQ(registry->slots[n], nullptr) << "slot " << n;
  }
  // Number 5 survived the resize at the same address.
  EXPECT_EQ(object_lookup(registry, 5), registry->slots[5]);
}

TEST_F(RegistryTest, RecordsAreZeroFilledAndLiveOnlyWithAHandle) {
  auto* record = static_cast<TestRecord*>(object_allocate(registry, 2));
  ASSERT_NE(record, nullptr);
  for (int value : record->payload) EXPECT_EQ(value, 0);
  EXPECT_EQ(object_lookup(registry, 2), nullptr) << "no handle yet";
  record->handle = 7;
  EXPECT_EQ(object_lookup(registry, 2), record);
  EXPECT_EQ(object_lookup(registry, 3), nullptr) << "never used";
  EXPECT_EQ(object_lookup(registry, 16), nullptr) << "beyond the slots";
}

TEST_F(RegistryTest, RecreatingALiveNumberFreesTheOldObjectAndKeepsTheAddress) {
  TestRecord* first = create(4);
  first->payload[0] = 99;
  TestRecord* second = create(4, 0x5678);
  EXPECT_EQ(second, first);
  EXPECT_EQ(freed_ids, std::vector<ObjectId>{4});
  EXPECT_EQ(second->payload[0], 0) << "the new object starts from a clean record";
}

TEST_F(RegistryTest, RecreatingWithACallbackThatDoesNotReleaseStillGivesACleanRecord) {
  ObjectRegistry* plain = registry_create(sizeof(TestRecord), 4, nullptr);
  auto* record = static_cast<TestRecord*>(object_allocate(plain, 1));
  record->handle = 1;
  record->payload[3] = 42;
  EXPECT_EQ(object_allocate(plain, 1), record);
  EXPECT_EQ(record->handle, 0u);
  EXPECT_EQ(record->payload[3], 0);
}

TEST_F(RegistryTest, ReleasedNumberKeepsItsRecordForTheNextCreate) {
  TestRecord* record = create(3);
  object_release(registry, 3);
  EXPECT_EQ(object_lookup(registry, 3), nullptr);
  EXPECT_EQ(registry->slots[3], record) << "the record stays in its slot";
  EXPECT_EQ(create(3), record);
  EXPECT_EQ(freed_ids, std::vector<ObjectId>{3}) << "a released record is offered to the callback, which ignores it";
}

TEST_F(RegistryTest, DynamicRecordsHaveTheirAddressAsId) {
  TestRecord* a = create(AUTO_ID);
  TestRecord* b = create(AUTO_ID);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  EXPECT_EQ(object_lookup(registry, dynamic_id_of(a)), a);
  EXPECT_EQ(object_lookup(registry, dynamic_id_of(b)), b);
  EXPECT_EQ(registry->slot_count, 16) << "dynamic records take no slot";
  object_release(registry, dynamic_id_of(a));
  EXPECT_EQ(object_lookup(registry, dynamic_id_of(a)), nullptr);
  EXPECT_EQ(object_lookup(registry, dynamic_id_of(b)), b);
}

TEST_F(RegistryTest, ObjectNumbersOutsideTheBoundsAreRefused) {
  EXPECT_EQ(object_allocate(registry, -2), nullptr);
  EXPECT_EQ(object_allocate(registry, INTPTR_MIN), nullptr);
  EXPECT_EQ(object_allocate(registry, OBJECT_NUMBER_LIMIT + 1), nullptr);
  EXPECT_EQ(object_allocate(registry, INTPTR_MAX), nullptr);
  EXPECT_EQ(registry->slot_count, 16) << "a refused number does not grow the slots";
  EXPECT_NE(create(OBJECT_NUMBER_LIMIT), nullptr);
  EXPECT_EQ(registry->slot_count, OBJECT_NUMBER_LIMIT + 16);
  EXPECT_EQ(object_allocate(nullptr, 0), nullptr);
}

TEST_F(RegistryTest, IdsThatAreNoLiveRecordGiveNullWithoutBeingTouched) {
  create(0);
  TestRecord* dynamic = create(AUTO_ID);
  ObjectId stale = dynamic_id_of(dynamic);
  object_release(registry, stale);  // the memory is freed: reading it would be a fault

  int on_stack = 1;
  std::uintptr_t heap_value = 5;
  const ObjectId bogus[] = {stale,
                            -2,
                            -1,
                            16,
                            INTPTR_MAX,
                            INTPTR_MIN,
                            reinterpret_cast<ObjectId>(&on_stack),
                            reinterpret_cast<ObjectId>(&heap_value),
                            reinterpret_cast<ObjectId>(registry->slots[0])};
  for (ObjectId id : bogus) {
    EXPECT_EQ(object_lookup(registry, id), nullptr) << id;
    object_release(registry, id);  // must do nothing
  }
  EXPECT_NE(object_lookup(registry, 0), nullptr) << "number 0 untouched";
  EXPECT_EQ(on_stack, 1);
  EXPECT_EQ(heap_value, 5u);
  EXPECT_EQ(object_lookup(nullptr, 0), nullptr);
}

TEST_F(RegistryTest, FreeAllGoesByNumberThenDynamicOldestFirst) {
  TestRecord* older = create(AUTO_ID);
  create(3);
  TestRecord* newer = create(AUTO_ID);
  create(0);
  registry_free_all(registry);
  std::vector<ObjectId> expected{0, 3, dynamic_id_of(older), dynamic_id_of(newer)};
  EXPECT_EQ(freed_ids, expected);
  // The callback released each one during the walk.
  EXPECT_EQ(object_lookup(registry, 0), nullptr);
  EXPECT_EQ(object_lookup(registry, 3), nullptr);
  EXPECT_EQ(registry->dynamic_head, nullptr);
}

TEST_F(RegistryTest, FreeWithAutoIdFreesEveryObjectOfTheKind) {
  create(1);
  create(9);
  ObjectId dynamic = dynamic_id_of(create(AUTO_ID));
  release_on_free(AUTO_ID);
  EXPECT_EQ(freed_ids.size(), 3u);
  EXPECT_EQ(object_lookup(registry, 1), nullptr);
  EXPECT_EQ(object_lookup(registry, 9), nullptr);
  EXPECT_EQ(object_lookup(registry, dynamic), nullptr);
  registry_free_all(registry);
  EXPECT_EQ(freed_ids.size(), 3u) << "nothing left to free";
}

TEST_F(RegistryTest, FreeAllSkipsReleasedNumbersAndDoesNothingWithoutCallback) {
  create(1);
  create(2);
  object_release(registry, 1);
  registry_free_all(registry);
  EXPECT_EQ(freed_ids, std::vector<ObjectId>{2});

  ObjectRegistry* plain = registry_create(sizeof(TestRecord), 4, nullptr);
  auto* record = static_cast<TestRecord*>(object_allocate(plain, 0));
  record->handle = 1;
  registry_free_all(plain);
  EXPECT_EQ(object_lookup(plain, 0), record);
}

// A free callback that also releases the object the walk would return next.
std::vector<ObjectId> neighbours_to_release;
void release_with_neighbour(ObjectId id) {
  freed_ids.push_back(id);
  object_release(current_registry, id);
  for (ObjectId other : neighbours_to_release) object_release(current_registry, other);
  neighbours_to_release.clear();
}

TEST_F(RegistryTest, WalkSurvivesReleasingOtherObjectsFromTheCallback) {
  ObjectRegistry* walked = registry_create(sizeof(TestRecord), 4, release_with_neighbour);
  current_registry = walked;
  auto make = [&](ObjectId number) {
    auto* record = static_cast<TestRecord*>(object_allocate(walked, number));
    record->handle = 1;
    return record;
  };
  make(0);
  make(1);
  ObjectId first = dynamic_id_of(make(AUTO_ID));
  ObjectId second = dynamic_id_of(make(AUTO_ID));
  ObjectId third = dynamic_id_of(make(AUTO_ID));
  // Freeing number 0 releases number 1 and the middle dynamic object as well.
  neighbours_to_release = {1, second};
  registry_free_all(walked);
  std::vector<ObjectId> expected{0, first, third};
  EXPECT_EQ(freed_ids, expected);
  EXPECT_EQ(walked->dynamic_head, nullptr);
}

TEST_F(RegistryTest, WalkReturnsLiveObjectsAndBeginRestartsIt) {
  create(2);
  TestRecord* dynamic = create(AUTO_ID);
  registry_iterate_begin(registry);
  ObjectId id = 0;
  EXPECT_NE(registry_iterate_next(registry, &id), nullptr);
  EXPECT_EQ(id, 2);
  registry_iterate_begin(registry);
  EXPECT_NE(registry_iterate_next(registry, &id), nullptr);
  EXPECT_EQ(id, 2);
  EXPECT_EQ(registry_iterate_next(registry, &id), dynamic);
  EXPECT_EQ(id, dynamic_id_of(dynamic));
  EXPECT_EQ(registry_iterate_next(registry, &id), nullptr);
  EXPECT_EQ(registry_iterate_next(registry, &id), nullptr);
}

TEST_F(RegistryTest, ManyDynamicObjectsStayFindableThroughCreatesAndReleases) {
  std::map<ObjectId, int> live;  // id -> payload marker
  std::vector<ObjectId> released;
  std::mt19937 random(7);
  for (int step = 0; step < 3000; ++step) {
    if (live.empty() || random() % 3 != 0) {
      TestRecord* record = create(AUTO_ID);
      ASSERT_NE(record, nullptr);
      record->payload[0] = step;
      live[dynamic_id_of(record)] = step;
    } else {
      auto victim = live.begin();
      std::advance(victim, random() % live.size());
      object_release(registry, victim->first);
      released.push_back(victim->first);
      live.erase(victim);
    }
  }
  for (auto [id, marker] : live) {
    auto* record = static_cast<TestRecord*>(object_lookup(registry, id));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->payload[0], marker);
  }
  for (ObjectId id : released) {
    if (live.count(id)) continue;  // the address was reused by a later create
    EXPECT_EQ(object_lookup(registry, id), nullptr);
  }
  // The list holds exactly the live records.
  std::size_t listed = 0;
  registry_iterate_begin(registry);
  while (registry_iterate_next(registry, nullptr)) ++listed;
  EXPECT_EQ(listed, live.size());
}

TEST_F(RegistryTest, CreateRefusesRecordsTooSmallForTheHandleAndEmptyGrowth) {
  EXPECT_EQ(registry_create(0, 16, nullptr), nullptr);
  EXPECT_EQ(registry_create(sizeof(void*) - 1, 16, nullptr), nullptr);
  EXPECT_EQ(registry_create(sizeof(TestRecord), 0, nullptr), nullptr);
  EXPECT_EQ(registry_create(sizeof(TestRecord), -3, nullptr), nullptr);
}

TEST(RegistryWithoutHeap, CreateFailsWhenTheMainHeapIsMissing) {
  main_heap_destroy();
  EXPECT_EQ(registry_create(sizeof(TestRecord), 16, nullptr), nullptr);
}

}  // namespace
