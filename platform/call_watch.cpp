#include "platform/call_watch.h"

namespace {

CallWatcher watcher = nullptr;

}  // namespace

void call_watcher_set(CallWatcher new_watcher) { watcher = new_watcher; }

bool call_watched() { return watcher != nullptr; }

void call_watch_report(const std::string& call, const void* handle) {
  if (watcher) watcher(call, handle);
}
