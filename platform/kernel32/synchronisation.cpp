// Critical sections (recursive, as Win32's are), interlocked operations and Sleep.
#include <sched.h>

#include <cerrno>
#include <ctime>

#include "platform/win32/kernel32.h"

void InitializeCriticalSection(LPCRITICAL_SECTION section) {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(&section->mutex, &attributes);
  pthread_mutexattr_destroy(&attributes);
}

void EnterCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_lock(&section->mutex); }

void LeaveCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_unlock(&section->mutex); }

void DeleteCriticalSection(LPCRITICAL_SECTION section) { pthread_mutex_destroy(&section->mutex); }

// All return the value the target held before, except Increment and
// Decrement, which return the new value.
LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand) {
  __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;
}

LONG InterlockedExchange(LONG volatile* target, LONG value) {
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}

// Wraps from LONG_MAX to LONG_MIN as Win32's does, without signed overflow.
LONG InterlockedIncrement(LONG volatile* target) {
  auto* word = reinterpret_cast<volatile ULONG*>(target);
  return static_cast<LONG>(__atomic_add_fetch(word, 1u, __ATOMIC_SEQ_CST));
}

LONG InterlockedDecrement(LONG volatile* target) {
  auto* word = reinterpret_cast<volatile ULONG*>(target);
  return static_cast<LONG>(__atomic_sub_fetch(word, 1u, __ATOMIC_SEQ_CST));
}

// Sleep(0) gives up the rest of the time slice; INFINITE never returns.
void Sleep(DWORD milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  do {
    timespec remaining{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
  } while (milliseconds == INFINITE);
}
