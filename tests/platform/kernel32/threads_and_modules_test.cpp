// Thread-local slots, critical sections, interlocked operations, time,
// and thread ids.
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"

namespace {

TEST(ThreadLocalSlots, EachThreadHasItsOwnValue) {
  DWORD index = TlsAlloc();
  ASSERT_NE(index, TLS_OUT_OF_INDEXES);
  SetLastError(ERROR_INVALID_HANDLE);
  EXPECT_EQ(TlsGetValue(index), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));  // a stored null, not a failure
  int mine = 1;
  int theirs = 2;
  ASSERT_TRUE(TlsSetValue(index, &mine));
  LPVOID seen_by_other = &mine;
  LPVOID after_set_by_other = nullptr;
  std::thread other([&] {
    seen_by_other = TlsGetValue(index);
    TlsSetValue(index, &theirs);
    after_set_by_other = TlsGetValue(index);
  });
  other.join();
  EXPECT_EQ(seen_by_other, nullptr);
  EXPECT_EQ(after_set_by_other, &theirs);
  EXPECT_EQ(TlsGetValue(index), &mine);

  // A slot freed and allocated again starts empty in every thread.
  ASSERT_TRUE(TlsFree(index));
  EXPECT_FALSE(TlsFree(index));
  std::vector<DWORD> indexes;
  for (DWORD again = TlsAlloc(); again != TLS_OUT_OF_INDEXES && again != index; again = TlsAlloc())
    indexes.push_back(again);
  EXPECT_EQ(TlsGetValue(index), nullptr);
  for (DWORD other_index : indexes) TlsFree(other_index);
  TlsFree(index);

  EXPECT_EQ(TlsGetValue(TLS_OUT_OF_INDEXES - 1), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(ThreadLocalSlots, RunOutLikeWin32) {
  std::vector<DWORD> indexes;
  for (DWORD index = TlsAlloc(); index != TLS_OUT_OF_INDEXES; index = TlsAlloc()) {
    indexes.push_back(index);
    ASSERT_LT(indexes.size(), 5000u);
  }
  EXPECT_GE(indexes.size(), 64u);  // Win32 promises at least TLS_MINIMUM_AVAILABLE
  for (DWORD index : indexes) EXPECT_TRUE(TlsFree(index));
}

TEST(Synchronisation, CriticalSectionsAreRecursiveAndExclusive) {
  CRITICAL_SECTION section;
  InitializeCriticalSection(&section);
  long counter = 0;
  auto work = [&] {
    for (int round = 0; round < 20000; ++round) {
      EnterCriticalSection(&section);
      EnterCriticalSection(&section);  // the owner may enter again
      long seen = counter;
      counter = seen + 1;
      LeaveCriticalSection(&section);
      LeaveCriticalSection(&section);
    }
  };
  std::vector<std::thread> threads;
  for (int index = 0; index < 4; ++index) threads.emplace_back(work);
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter, 80000);
  DeleteCriticalSection(&section);
}

TEST(Synchronisation, InterlockedOperationsReturnWin32sValues) {
  LONG volatile word = 5;
  EXPECT_EQ(InterlockedCompareExchange(&word, 9, 4), 5);  // no match: unchanged
  EXPECT_EQ(word, 5);
  EXPECT_EQ(InterlockedCompareExchange(&word, 9, 5), 5);
  EXPECT_EQ(word, 9);
  EXPECT_EQ(InterlockedExchange(&word, 2), 9);
  EXPECT_EQ(InterlockedIncrement(&word), 3);
  EXPECT_EQ(InterlockedDecrement(&word), 2);
  word = INT32_MAX;  // LONG is 32 bits wide, as on Win32
  EXPECT_EQ(InterlockedIncrement(&word), INT32_MIN);
  EXPECT_EQ(InterlockedDecrement(&word), INT32_MAX);

  LONG volatile shared = 0;
  std::vector<std::thread> threads;
  for (int index = 0; index < 4; ++index)
    threads.emplace_back([&] {
      for (int round = 0; round < 50000; ++round) InterlockedIncrement(&shared);
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(shared, 200000);
}

TEST(TimeAndThreads, TicksAdvanceAcrossASleepAndThreadsHaveTheirOwnIds) {
  DWORD before = GetTickCount();
  Sleep(30);
  DWORD elapsed = GetTickCount() - before;  // unsigned difference survives the wrap
  // The tick count moves in steps of the system timer, up to 16 ms on Win32.
  EXPECT_GE(elapsed + 16, 30u);
  Sleep(0);

  DWORD other_id = 0;
  std::thread other([&] { other_id = GetCurrentThreadId(); });
  other.join();
  EXPECT_NE(other_id, GetCurrentThreadId());
  EXPECT_NE(other_id, 0u);
}

}  // namespace
