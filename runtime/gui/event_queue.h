// The event queue: a FIFO of EventRecords fed by the window procedures, the
// canvas and the drop target, and drained one event per event_wait into the
// "current event" that the application then inspects.
//
// Object and window fields are ObjectId wide, not 32-bit: the number of an
// AUTO_ID window or control is the address of its record and must not be cut.
#pragma once

#include <cstdint>

#include "runtime/core/registry.h"

// Frees an event's data block when the event stops being current (or is purged).
using EventDataRelease = void (*)(void* data);

struct EventRecord {
  EventRecord* next;
  std::int32_t code;
  ObjectId object;
  ObjectId window;
  std::int32_t type;
  void* data;
  EventDataRelease data_release;
};

// Creates the queue state and its record pool; called by post_event_init.
void event_queue_init();
// Forgets the queue state (its memory goes with the main heap).
void event_queue_shutdown();

// Queues an event; an identical event (code, object, window, type) already at
// the tail absorbs a new one that carries no data. When no record can be had the event is dropped and its
// data released, so the caller never leaks what it handed over.
void event_push(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type, void* data,
                EventDataRelease data_release);
// Releases the current event's data and makes the head current; 0 when empty
// (the current window and object then keep their values).
std::int32_t event_pop();
// Removes queued events that match; -1 in object, window or type matches any.
void event_purge(std::int32_t code, ObjectId object, ObjectId window, std::int32_t type);
void event_purge_window(ObjectId window);

// The current event (the one event_wait returned last).
std::int32_t event_current_code();
ObjectId event_menu_item();
ObjectId event_window();
std::int32_t event_type();
void* event_data();
