// ReleaseStgMedium: who owns the data decides what is freed.
#include <gtest/gtest.h>

#include "platform/win32/kernel32.h"
#include "platform/win32/ole32.h"

namespace {

class CountingOwner final : public IUnknown {
 public:
  HRESULT QueryInterface(REFIID, void** object) override {
    if (object != nullptr) *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references; }
  ULONG Release() override { return --references; }
  ULONG references = 1;
};

TEST(ReleaseStgMedium, FreesAGlobalBlockNobodyElseOwns) {
  // LeakSanitizer sees the block if it is not freed. The freed handle may stay in the
  // medium: nobody may read it, so it is not looked at.
  STGMEDIUM medium{};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 64);
  ASSERT_NE(medium.hGlobal, nullptr);
  ReleaseStgMedium(&medium);
  EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_NULL));
}

TEST(ReleaseStgMedium, AnOwnedBlockIsReleasedThroughItsOwner) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 16);
  CountingOwner owner;
  STGMEDIUM medium{};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = block;
  medium.pUnkForRelease = &owner;
  ReleaseStgMedium(&medium);
  EXPECT_EQ(owner.references, 0u);
  EXPECT_EQ(medium.pUnkForRelease, nullptr);
  // Still the owner's block: usable, and freed here.
  EXPECT_NE(GlobalLock(block), nullptr);
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(ReleaseStgMedium, NullAndEmptyMediaAreHarmless) {
  ReleaseStgMedium(nullptr);
  STGMEDIUM medium{};
  ReleaseStgMedium(&medium);
  EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_NULL));
}

TEST(InterfaceIds, AreTheStandardOnes) {
  // {00000000-0000-0000-C000-000000000046} and {00000122-0000-0000-C000-000000000046}.
  const GUID unknown{0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
  const GUID drop_target{0x00000122, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
  const GUID data_object{0x0000010E, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
  EXPECT_TRUE(IsEqualIID(IID_IUnknown, unknown));
  EXPECT_TRUE(IsEqualIID(IID_IDropTarget, drop_target));
  EXPECT_TRUE(IsEqualIID(IID_IDataObject, data_object));
  EXPECT_FALSE(IsEqualIID(IID_IDropTarget, IID_IDataObject));
}

}  // namespace
