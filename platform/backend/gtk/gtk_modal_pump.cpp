// While GTK runs a dialog's own loop, user32's messages must go on: timers
// tick and the windows behind the dialog repaint. A GLib timeout wakes at the
// next timer's due time (and at least every few milliseconds for anything
// else queued) to dispatch them.
#include <algorithm>

#include "platform/backend/gtk/gtk_internal.h"
#include "platform/backend/input.h"

namespace {

// Posted messages and repaints have no due time: they are looked at this often.
constexpr BackendTime IDLE_CHECK_MS = 50;

BackendTime now_ms() { return static_cast<BackendTime>(g_get_monotonic_time() / 1000); }

}  // namespace

GtkModalPump::GtkModalPump() { arm(); }

GtkModalPump::~GtkModalPump() {
  if (source_) g_source_remove(source_);
}

void GtkModalPump::arm() {
  const BackendTime due = input_next_timer_due();
  const BackendTime current = now_ms();
  const BackendTime wait = std::min(due > current ? due - current : 0, IDLE_CHECK_MS);
  source_ = g_timeout_add(static_cast<guint>(wait), fire, this);
}

gboolean GtkModalPump::fire(gpointer data) {
  auto* pump = static_cast<GtkModalPump*>(data);
  pump->source_ = 0;
  input_dispatch_pending();
  pump->arm();
  return G_SOURCE_REMOVE;
}
