// Drags from outside reaching the registered drop targets: which target is called,
// in which order, with which key state, point and offered effects, and the effect
// that comes back.
#include <gtest/gtest.h>

#include "ole_test_windows.h"
#include "platform/backend/drag_input.h"
#include "platform/backend/headless/drag_script.h"
#include "platform/ole32/drag_data_object.h"
#include "recording_drop_target.h"

namespace {

using Calls = std::vector<std::string>;
using DragInput = OleWindowTest;

constexpr DWORD COPY_OR_MOVE = DROPEFFECT_COPY | DROPEFFECT_MOVE;

TEST_F(DragInput, FileDropCallsEnterOverDropWithKeysPointAndOffer) {
  RecordingDropTarget target(DROPEFFECT_COPY, CF_HDROP);
  ASSERT_EQ(RegisterDragDrop(left_child, &target), S_OK);
  HeadlessDragResult result =
      headless_drag_files(left_child, {u"/tmp/a.ifs", u"/tmp/b.ifs"}, {30, 40}, COPY_OR_MOVE, MK_CONTROL);
  EXPECT_TRUE(result.delivered);
  EXPECT_EQ(result.enter_effect, DROPEFFECT_COPY);
  EXPECT_EQ(result.over_effect, DROPEFFECT_COPY);
  EXPECT_EQ(result.final_effect, DROPEFFECT_COPY);

  ASSERT_EQ(target.operations(), (Calls{"DragEnter", "DragOver", "Drop"}));
  POINTL expected = screen_point(left_child, {30, 40});
  for (const DropTargetCall& call : target.calls) {
    EXPECT_EQ(call.point.x, expected.x) << call.operation;
    EXPECT_EQ(call.point.y, expected.y) << call.operation;
    EXPECT_EQ(call.offered, COPY_OR_MOVE) << call.operation;
  }
  // The button is held while dragging and let go for the drop.
  EXPECT_EQ(target.calls[0].key_state, static_cast<DWORD>(MK_LBUTTON | MK_CONTROL));
  EXPECT_EQ(target.calls[1].key_state, static_cast<DWORD>(MK_LBUTTON | MK_CONTROL));
  EXPECT_EQ(target.calls[2].key_state, static_cast<DWORD>(MK_CONTROL));
  EXPECT_TRUE(target.calls[0].data_present);
  EXPECT_TRUE(target.calls[2].data_present);
  // The drag gave back every reference it took.
  EXPECT_EQ(target.references, 1u);
  RevokeDragDrop(left_child);
}

TEST_F(DragInput, RefusedTextDragEndsWithLeaveNotDrop) {
  RecordingDropTarget target(DROPEFFECT_COPY, CF_HDROP);
  ASSERT_EQ(RegisterDragDrop(left_child, &target), S_OK);
  HeadlessDragResult result = headless_drag_text(left_child, u"not a file", {30, 40}, DROPEFFECT_COPY, 0);
  EXPECT_TRUE(result.delivered);
  EXPECT_EQ(result.enter_effect, DROPEFFECT_NONE);
  EXPECT_EQ(result.over_effect, DROPEFFECT_NONE);
  EXPECT_EQ(result.final_effect, DROPEFFECT_NONE);
  EXPECT_EQ(target.operations(), (Calls{"DragEnter", "DragOver", "DragLeave"}));
  EXPECT_EQ(target.references, 1u);
  RevokeDragDrop(left_child);
}

TEST_F(DragInput, DragTakenAwayEndsWithLeave) {
  RecordingDropTarget target;
  ASSERT_EQ(RegisterDragDrop(top, &target), S_OK);
  HeadlessDragResult result =
      headless_drag_files(top, {u"/a"}, {150, 150}, DROPEFFECT_COPY, 0, HEADLESS_DRAG_LEAVE);
  EXPECT_EQ(result.over_effect, DROPEFFECT_COPY);
  EXPECT_EQ(result.final_effect, DROPEFFECT_NONE);
  EXPECT_EQ(target.operations(), (Calls{"DragEnter", "DragOver", "DragLeave"}));
  RevokeDragDrop(top);
}

TEST_F(DragInput, TheEffectStaysWithinWhatTheSourceOffers) {
  RecordingDropTarget target(DROPEFFECT_COPY | DROPEFFECT_LINK);
  target.ignores_offer = true;
  ASSERT_EQ(RegisterDragDrop(top, &target), S_OK);
  HeadlessDragResult move_only = headless_drag_files(top, {u"/a"}, {150, 150}, DROPEFFECT_MOVE, 0);
  EXPECT_EQ(move_only.enter_effect, DROPEFFECT_NONE);
  EXPECT_EQ(move_only.final_effect, DROPEFFECT_NONE);
  HeadlessDragResult link = headless_drag_files(top, {u"/a"}, {150, 150}, DROPEFFECT_LINK | DROPEFFECT_MOVE, 0);
  EXPECT_EQ(link.final_effect, DROPEFFECT_LINK);
  RevokeDragDrop(top);
}

TEST_F(DragInput, TheWindowUnderThePointOrItsNearestRegisteredAncestorReceives) {
  RecordingDropTarget window_target;
  RecordingDropTarget child_target;
  ASSERT_EQ(RegisterDragDrop(top, &window_target), S_OK);
  ASSERT_EQ(RegisterDragDrop(left_child, &child_target), S_OK);

  // Over the left child, in the top-level window's coordinates.
  headless_drag_files(top, {u"/a"}, {15, 25}, DROPEFFECT_COPY, 0);
  EXPECT_EQ(child_target.operations(), (Calls{"DragEnter", "DragOver", "Drop"}));
  EXPECT_TRUE(window_target.calls.empty());

  // Over the right child, which has no target: its parent answers.
  headless_drag_files(right_child, {u"/a"}, {5, 5}, DROPEFFECT_COPY, 0);
  EXPECT_EQ(window_target.operations(), (Calls{"DragEnter", "DragOver", "Drop"}));
  EXPECT_EQ(child_target.calls.size(), 3u);
  RevokeDragDrop(top);
  RevokeDragDrop(left_child);
}

TEST_F(DragInput, PointsOutsideEveryTargetReachNobody) {
  RecordingDropTarget child_target;
  ASSERT_EQ(RegisterDragDrop(left_child, &child_target), S_OK);
  HeadlessDragResult result = headless_drag_files(top, {u"/a"}, {150, 150}, DROPEFFECT_COPY, 0);
  EXPECT_TRUE(result.delivered);
  EXPECT_EQ(result.final_effect, DROPEFFECT_NONE);
  EXPECT_TRUE(child_target.calls.empty());
  // A hidden child is not under the pointer either.
  ShowWindow(left_child, SW_HIDE);
  headless_drag_files(top, {u"/a"}, {15, 25}, DROPEFFECT_COPY, 0);
  EXPECT_TRUE(child_target.calls.empty());
  RevokeDragDrop(left_child);
}

TEST_F(DragInput, MovingFromOneTargetToAnotherLeavesTheFirst) {
  RecordingDropTarget left;
  RecordingDropTarget right;
  ASSERT_EQ(RegisterDragDrop(left_child, &left), S_OK);
  ASSERT_EQ(RegisterDragDrop(right_child, &right), S_OK);
  IDataObject* data = drag_data_create_files({u"/a"});
  EXPECT_EQ(drag_input_enter(top, data, {15, 25}, MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_COPY);
  EXPECT_EQ(drag_input_over(top, {20, 25}, MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_COPY);
  EXPECT_EQ(drag_input_over(top, {250, 25}, MK_LBUTTON | MK_SHIFT, DROPEFFECT_COPY), DROPEFFECT_COPY);
  EXPECT_EQ(drag_input_drop(top, {250, 25}, MK_SHIFT, DROPEFFECT_COPY), DROPEFFECT_COPY);
  EXPECT_EQ(left.operations(), (Calls{"DragEnter", "DragOver", "DragLeave"}));
  EXPECT_EQ(right.operations(), (Calls{"DragEnter", "Drop"}));
  EXPECT_EQ(right.calls[0].key_state, static_cast<DWORD>(MK_LBUTTON | MK_SHIFT));
  EXPECT_EQ(left.references, 1u);
  EXPECT_EQ(right.references, 1u);
  // Only our own reference to the data is left.
  EXPECT_EQ(data->Release(), 0u);
  RevokeDragDrop(left_child);
  RevokeDragDrop(right_child);
}

TEST_F(DragInput, NothingIsDeliveredWithoutADragOrOverADisabledOrHiddenWindow) {
  RecordingDropTarget target;
  ASSERT_EQ(RegisterDragDrop(top, &target), S_OK);
  // Moves and drops with no drag entered are ignored.
  EXPECT_EQ(drag_input_over(top, {150, 150}, 0, DROPEFFECT_COPY), DROPEFFECT_NONE);
  EXPECT_EQ(drag_input_drop(top, {150, 150}, 0, DROPEFFECT_COPY), DROPEFFECT_NONE);
  drag_input_leave(top);
  EXPECT_EQ(drag_input_enter(top, nullptr, {150, 150}, 0, DROPEFFECT_COPY), DROPEFFECT_NONE);
  EXPECT_TRUE(target.calls.empty());

  // A modal requester disables its owner: nothing can be dropped on it meanwhile.
  EnableWindow(top, FALSE);
  HeadlessDragResult result = headless_drag_files(top, {u"/a"}, {150, 150}, DROPEFFECT_COPY, 0);
  EXPECT_EQ(result.final_effect, DROPEFFECT_NONE);
  EXPECT_TRUE(target.calls.empty());
  EnableWindow(top, TRUE);

  ShowWindow(top, SW_HIDE);
  IDataObject* data = drag_data_create_files({u"/a"});
  EXPECT_EQ(drag_input_enter(top, data, {150, 150}, MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_NONE);
  EXPECT_EQ(drag_input_drop(top, {150, 150}, 0, DROPEFFECT_COPY), DROPEFFECT_NONE);
  EXPECT_TRUE(target.calls.empty());
  data->Release();
  RevokeDragDrop(top);
}

TEST_F(DragInput, WindowsWithoutTargetsAreNotOfferedTheDrag) {
  HeadlessDragResult result = headless_drag_text(top, u"x", {150, 150}, DROPEFFECT_COPY, 0);
  EXPECT_FALSE(result.delivered);
  EXPECT_EQ(result.final_effect, DROPEFFECT_NONE);
}

}  // namespace

namespace {

TEST_F(DragInput, ATargetWhoseWindowGoesAwayMidDragIsLeftAndReleased) {
  RecordingDropTarget target;
  ASSERT_EQ(RegisterDragDrop(left_child, &target), S_OK);
  IDataObject* data = drag_data_create_files({u"/a"});
  EXPECT_EQ(drag_input_enter(top, data, {15, 25}, MK_LBUTTON, DROPEFFECT_COPY), DROPEFFECT_COPY);
  // The window goes without revoking: its registration reference stays with it, as on Win32.
  DestroyWindow(left_child);
  EXPECT_EQ(drag_input_drop(top, {15, 25}, 0, DROPEFFECT_COPY), DROPEFFECT_NONE);
  EXPECT_EQ(target.operations(), (Calls{"DragEnter", "DragLeave"}));
  EXPECT_EQ(target.references, 1u);
  EXPECT_EQ(data->Release(), 0u);
}

TEST_F(DragInput, TheDisplayOffersDragsWhileAWindowOfTheTreeHasATarget) {
  RecordingDropTarget canvas;
  RecordingDropTarget panel;
  EXPECT_FALSE(headless_window_state(top).accepts_drops);
  ASSERT_EQ(RegisterDragDrop(left_child, &canvas), S_OK);
  EXPECT_TRUE(headless_window_state(top).accepts_drops);
  ASSERT_EQ(RegisterDragDrop(right_child, &panel), S_OK);
  ASSERT_EQ(RevokeDragDrop(left_child), S_OK);
  EXPECT_TRUE(headless_window_state(top).accepts_drops);
  ASSERT_EQ(RevokeDragDrop(right_child), S_OK);
  EXPECT_FALSE(headless_window_state(top).accepts_drops);
}

}  // namespace

namespace {

// A user drops a file while the thread sits in GetMessageW: the drop's calls end
// that wait at once, as Win32 delivers them through the thread's message queue,
// instead of the wait running on to the next timer (or for ever without one).
TEST_F(DragInput, ADropMadeWhileTheThreadWaitsEndsTheWait) {
  RecordingDropTarget target(DROPEFFECT_COPY, CF_HDROP);
  ASSERT_EQ(RegisterDragDrop(left_child, &target), S_OK);
  ASSERT_NE(SetTimer(top, 7, 10000, nullptr), 0u);
  MSG message{};
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);  // the windows' first paints
  const BackendTime start = headless_now();
  headless_script_drag_files(start + 50, left_child, {u"/tmp/a.ifs"}, {30, 40}, DROPEFFECT_COPY, 0);

  ASSERT_EQ(GetMessageW(&message, nullptr, 0, 0), TRUE);
  EXPECT_EQ(target.operations(), (Calls{"DragEnter", "DragOver", "Drop"}));
  EXPECT_NE(message.message, static_cast<UINT>(WM_TIMER));
  EXPECT_LT(headless_now(), start + 10000) << "the wait ran on to the timer";
  // The message stands for the calls alone: no window receives it.
  EXPECT_EQ(message.hwnd, nullptr);
  DispatchMessageW(&message);
  KillTimer(top, 7);
  RevokeDragDrop(left_child);
}

}  // namespace
