// The table of live GDI objects.
#include "platform/gdi32/gdi_object.h"

#include <deque>
#include <new>
#include <unordered_set>

namespace {

// Freed objects keep their address out of circulation for a while, so that a stale handle
// is refused instead of silently naming the next object made at the same address.
constexpr size_t QUARANTINE_SIZE = 1024;

// Both tables outlive static destruction, so that GDI calls made during exit still work
// (and the quarantined blocks stay reachable for leak checkers).
std::deque<void*>& quarantine() {
  static auto* addresses = new std::deque<void*>;
  return *addresses;
}

std::unordered_set<const void*>& live_objects() {
  static auto* objects = new std::unordered_set<const void*>;
  return *objects;
}

}  // namespace

void* gdi_register(GdiObject* object) {
  if (!object) return nullptr;
  live_objects().insert(object);
  return object;
}

void gdi_destroy(GdiObject* object) {
  if (!object) return;
  live_objects().erase(object);
  object->~GdiObject();
  quarantine().push_back(object);
  if (quarantine().size() > QUARANTINE_SIZE) {
    ::operator delete(quarantine().front());
    quarantine().pop_front();
  }
}

GdiObject* gdi_lookup_any(const void* handle) {
  if (!handle || !live_objects().contains(handle)) return nullptr;
  return static_cast<GdiObject*>(const_cast<void*>(handle));
}

GdiObject* gdi_lookup(const void* handle, GdiKind kind) {
  GdiObject* object = gdi_lookup_any(handle);
  return object && object->kind == kind ? object : nullptr;
}
