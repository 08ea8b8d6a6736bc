#include "runtime/gui/event_queue.h"

#include "runtime/core/block_pool.h"
#include "runtime/core/library_state.h"

namespace {

// Every event record the bursty sources produce (timer ticks, repaints,
// mouse moves) comes from this pool rather than a heap call each.
constexpr std::int32_t EVENT_POOL_MIN_BLOCKS = 16;
constexpr std::int32_t EVENT_POOL_MAX_BLOCKS = 256;
constexpr std::int32_t EVENT_POOL_UNLOCKED = 2;
// Codes from here on are never coalesced.
constexpr std::int32_t COALESCE_CODE_LIMIT = 0x10000;

struct EventState {
  BlockPool* pool;
  EventRecord* head;
  EventRecord* tail;
  std::int32_t current_code;
  ObjectId current_window;
  ObjectId current_object;
  std::int32_t current_type;
  void* current_data;
  EventDataRelease current_data_release;
};

EventState* event_state = nullptr;

void event_state_init(void* block) {
  auto* state = static_cast<EventState*>(block);
  state->pool = block_pool_create(sizeof(EventRecord), EVENT_POOL_MIN_BLOCKS, EVENT_POOL_MAX_BLOCKS,
                                  EVENT_POOL_UNLOCKED);
  // One block is kept for good so that the pool's first chunk lives all run.
  if (state->pool) block_pool_alloc(state->pool);
}

bool same_event(const EventRecord* record, std::int32_t code, ObjectId object, ObjectId window,
                std::int32_t type) {
  return record->code == code && record->object == object && record->window == window && record->type == type;
}

void release_data(void* data, EventDataRelease data_release) {
  if (data && data_release) data_release(data);
}

void release_current_data(EventState* state) {
  release_data(state->current_data, state->current_data_release);
  state->current_data = nullptr;
  state->current_data_release = nullptr;
}

template <typename Matches>
void remove_matching(Matches matches) {
  if (!event_state) return;
  EventRecord** link = &event_state->head;
  EventRecord* last_kept = nullptr;
  while (EventRecord* record = *link) {
    if (matches(record)) {
      *link = record->next;
      release_data(record->data, record->data_release);
      block_pool_free(event_state->pool, record);
    } else {
      last_kept = record;
      link = &record->next;
    }
  }
  event_state->tail = last_kept;
}

bool field_matches(ObjectId wanted, ObjectId value) { return wanted == -1 || wanted == value; }

}  // namespace

void event_queue_init() {
  event_state = static_cast<EventState*>(library_state_create(sizeof(EventState), event_state_init, nullptr));
  if (event_state) event_state->current_type = -1;
}

void event_queue_shutdown() { event_state = nullptr; }

void event_push(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type, void* data,
                EventDataRelease data_release) {
  EventState* state = event_state;
  // An event with data of its own (a key, a position, a file list) is never
  // absorbed: that would lose what it carries or report stale data.
  if (state && state->tail && !data && code < COALESCE_CODE_LIMIT &&
      same_event(state->tail, code, object, window, type)) {
    release_data(data, data_release);
    return;
  }
  auto* record = state && state->pool ? static_cast<EventRecord*>(block_pool_alloc(state->pool)) : nullptr;
  if (!record) {
    release_data(data, data_release);
    return;
  }
  *record = EventRecord{nullptr, code, object, window, type, data, data_release};
  if (state->tail) state->tail->next = record;
  else state->head = record;
  state->tail = record;
}

std::int32_t event_pop() {
  EventState* state = event_state;
  if (!state) return 0;
  state->current_code = 0;
  release_current_data(state);
  state->current_type = -1;
  EventRecord* head = state->head;
  if (!head) return 0;
  state->current_code = head->code;
  state->current_object = head->object;
  state->current_window = head->window;
  state->current_type = head->type;
  state->current_data = head->data;
  state->current_data_release = head->data_release;
  state->head = head->next;
  if (!state->head) state->tail = nullptr;
  block_pool_free(state->pool, head);
  return state->current_code;
}

void event_purge(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type) {
  remove_matching([&](const EventRecord* record) {
    return record->code == code && field_matches(object, record->object) && field_matches(window, record->window) &&
           field_matches(type, record->type);
  });
}

void event_purge_window(ObjectId window) {
  remove_matching([&](const EventRecord* record) { return record->window == window; });
}

std::int32_t event_current_code() { return event_state ? event_state->current_code : 0; }
ObjectId event_menu_item() { return event_state ? event_state->current_object : 0; }
ObjectId event_window() { return event_state ? event_state->current_window : -1; }
std::int32_t event_type() { return event_state ? event_state->current_type : -1; }
void* event_data() { return event_state ? event_state->current_data : nullptr; }
