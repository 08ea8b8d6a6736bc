// COM and OLE initialisation counts, per thread.
#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/ole32.h"

namespace {

template <typename Check>
void on_a_fresh_thread(Check check) {
  std::thread thread(check);
  thread.join();
}

TEST(OleInitialize, FirstCallOnAThreadGivesOkLaterOnesFalse) {
  on_a_fresh_thread([] {
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    OleUninitialize();
    OleUninitialize();
    // Fully uninitialised again: the next one is a first one.
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    OleUninitialize();
  });
}

TEST(CoInitialize, CountsLikeOleAndSharesTheComCountWithIt) {
  on_a_fresh_thread([] {
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
  });
  on_a_fresh_thread([] {
    // The start-up order: OLE, then COM again; a later COM initialisation finds it done.
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    OleUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);  // one COM count is still held
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
  });
}

TEST(CoInitializeEx, AThreadKeepsItsConcurrencyModel) {
  on_a_fresh_thread([] {
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), RPC_E_CHANGED_MODE);
    EXPECT_EQ(OleInitialize(nullptr), RPC_E_CHANGED_MODE);
    CoUninitialize();
    // The failed calls took no count: this is the first initialisation again.
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    CoUninitialize();
  });
}

TEST(OleInitialize, UnbalancedUninitialiseChangesNothing) {
  on_a_fresh_thread([] {
    OleUninitialize();
    CoUninitialize();
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    OleUninitialize();
  });
}

TEST(OleInitialize, ThreadsAreCountedApart) {
  on_a_fresh_thread([] {
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    on_a_fresh_thread([] {
      EXPECT_EQ(OleInitialize(nullptr), S_OK);
      OleUninitialize();
    });
    OleUninitialize();
  });
}

}  // namespace
