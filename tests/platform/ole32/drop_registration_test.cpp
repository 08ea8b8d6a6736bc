// RegisterDragDrop and RevokeDragDrop: what they refuse, the references they take
// and give back, through the API alone (run against our ole32 and Windows').
#include <gtest/gtest.h>

#include "ole_test_windows.h"
#include "recording_drop_target.h"

namespace {

using DropRegistration = OleWindowTest;

TEST_F(DropRegistration, RefusesBadInputWithoutTakingAReference) {
  RecordingDropTarget target;
  EXPECT_EQ(RegisterDragDrop(top, nullptr), E_INVALIDARG);
  EXPECT_EQ(RegisterDragDrop(nullptr, &target), DRAGDROP_E_INVALIDHWND);
  HWND gone = CreateWindowExW(0, u"OleTestWindow", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  DestroyWindow(gone);
  EXPECT_EQ(RegisterDragDrop(gone, &target), DRAGDROP_E_INVALIDHWND);
  EXPECT_EQ(target.references, 0u);
}

TEST_F(DropRegistration, KeepsOneReferencedTargetPerWindow) {
  RecordingDropTarget target;
  RecordingDropTarget second;
  ASSERT_EQ(RegisterDragDrop(top, &target), S_OK);
  EXPECT_EQ(target.references, 1u);
  EXPECT_EQ(RegisterDragDrop(top, &target), DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_EQ(RegisterDragDrop(top, &second), DRAGDROP_E_ALREADYREGISTERED);
  EXPECT_EQ(target.references, 1u);
  EXPECT_EQ(second.references, 0u);
  // Kept where Win32 keeps it.
  EXPECT_EQ(GetPropW(top, u"OleDropTargetInterface"), static_cast<IDropTarget*>(&target));

  // Another window takes a target of its own.
  ASSERT_EQ(RegisterDragDrop(left_child, &second), S_OK);
  EXPECT_EQ(second.references, 1u);

  EXPECT_EQ(RevokeDragDrop(top), S_OK);
  EXPECT_EQ(target.references, 0u);
  EXPECT_EQ(RevokeDragDrop(top), DRAGDROP_E_NOTREGISTERED);
  EXPECT_EQ(RevokeDragDrop(nullptr), DRAGDROP_E_INVALIDHWND);
  EXPECT_EQ(RevokeDragDrop(left_child), S_OK);
  EXPECT_EQ(second.references, 0u);
  // A revoked window can be registered again.
  EXPECT_EQ(RegisterDragDrop(top, &target), S_OK);
  EXPECT_EQ(RevokeDragDrop(top), S_OK);
}

TEST_F(DropRegistration, NeedsOleNotJustCom) {
  RecordingDropTarget target;
  OleUninitialize();
  EXPECT_EQ(RegisterDragDrop(top, &target), E_OUTOFMEMORY);
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(RegisterDragDrop(top, &target), E_OUTOFMEMORY);
  EXPECT_EQ(target.references, 0u);
  CoUninitialize();
  ASSERT_EQ(OleInitialize(nullptr), S_OK);  // for TearDown
}

TEST_F(DropRegistration, RevokingWorksAfterOleIsUninitialised) {
  // Shut-down uninitialises OLE before it closes the windows that hold targets.
  RecordingDropTarget target;
  ASSERT_EQ(RegisterDragDrop(left_child, &target), S_OK);
  OleUninitialize();
  EXPECT_EQ(RevokeDragDrop(left_child), S_OK);
  EXPECT_EQ(target.references, 0u);
  ASSERT_EQ(OleInitialize(nullptr), S_OK);
}

}  // namespace
