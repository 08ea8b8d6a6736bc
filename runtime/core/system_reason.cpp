#include "runtime/core/system_reason.h"

#include "platform/win32/kernel32.h"

namespace {

constexpr DWORD REASON_CAPACITY = 512;

}  // namespace

std::u16string system_reason(DWORD error) {
  WCHAR buffer[REASON_CAPACITY];
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      buffer, REASON_CAPACITY, nullptr);
  std::u16string reason(buffer, length);
  while (!reason.empty() && (reason.back() == u'\n' || reason.back() == u'\r')) reason.pop_back();
  return reason;
}

std::u16string system_reason_for_last_error() { return system_reason(GetLastError()); }
