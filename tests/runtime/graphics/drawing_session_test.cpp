#include <gtest/gtest.h>

#include <vector>

#include "platform/win32/kernel32.h"
#include "runtime/graphics/draw_box.h"
#include "runtime/graphics/drawing_session.h"
#include "support/drawing_fixture.h"

namespace {

using DrawingSessionTest = DrawingTest;

std::vector<int> released_flags;
void record_release(DrawingSession*, int flag) { released_flags.push_back(flag); }

TEST_F(DrawingSessionTest, EndWithoutSessionAndBeginWithNullDoNothing) {
  drawing_end();
  EXPECT_EQ(drawing_current(), nullptr);
  EXPECT_EQ(drawing_begin(nullptr), 0);
  EXPECT_EQ(drawing_current(), nullptr);
}

TEST_F(DrawingSessionTest, ImageSessionDescribesTheImagesPixelMemory) {
  ASSERT_NE(image_create(0, 600, 600), 0);
  HBITMAP bitmap = image_lookup(0)->bitmap;
  DrawingSession* session = image_output(0);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(drawing_current(), session);
  EXPECT_EQ(TlsGetValue(drawing_library_slot()), session) << "the thread-local copy follows";
  EXPECT_EQ(session->width, 600);
  EXPECT_EQ(session->height, 600);
  EXPECT_EQ(session->row_size, 1800);
  EXPECT_EQ(session->pixel_bytes, 3);
  EXPECT_EQ(session->depth, 24);
  EXPECT_EQ(session->pixel_format, 0x8010u);
  EXPECT_TRUE(session->bottom_up);
  EXPECT_EQ(session->buffer, image_bits(0));
  EXPECT_EQ(session->mode, 0);
  EXPECT_EQ(session->front_colour, 0u);

  std::intptr_t dc = drawing_begin(session);
  ASSERT_NE(dc, 0);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HDC>(dc)), static_cast<DWORD>(OBJ_MEMDC));
  EXPECT_EQ(GetCurrentObject(reinterpret_cast<HDC>(dc), OBJ_BITMAP), bitmap);
  EXPECT_EQ(session->full_width, 600);
  EXPECT_EQ(session->full_buffer, session->buffer);
  drawing_end();
  EXPECT_EQ(drawing_current(), nullptr);
  EXPECT_EQ(TlsGetValue(drawing_library_slot()), nullptr);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HDC>(dc)), 0u) << "the session's DC is gone";
  EXPECT_NE(image_free(0), 0);
  EXPECT_EQ(GetObjectType(bitmap), 0u) << "no DC kept the bitmap selected";
}

TEST_F(DrawingSessionTest, ThirtyTwoBitImageSessionHasFourBytesPerPixel) {
  ASSERT_NE(image_create(0, 5, 4, 32), 0);
  DrawingSession* session = image_output(0);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(session->pixel_bytes, 4);
  EXPECT_EQ(session->pixel_format, 0x8040u);
  EXPECT_EQ(session->depth, 32);
  EXPECT_EQ(session->row_size, 20);
  drawing_end();
}

TEST_F(DrawingSessionTest, OutputOnAMissingImageFailsAndKeepsTheCurrentSession) {
  EXPECT_EQ(image_output(0), nullptr);
  ASSERT_NE(image_create(1, 2, 2), 0);
  DrawingSession* session = image_output(1);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(image_output(7), nullptr);
  EXPECT_EQ(image_output(AUTO_ID), nullptr);
  EXPECT_EQ(drawing_current(), session);
  drawing_end();
}

TEST_F(DrawingSessionTest, BatchLimitIsRestoredAfterTheSession) {
  ASSERT_NE(image_create(0, 2, 2), 0);
  GdiSetBatchLimit(7);
  DrawingSession* session = image_output(0);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(GdiGetBatchLimit(), 1u) << "every GDI call takes effect at once";
  ASSERT_NE(drawing_begin(session), 0);
  drawing_end();
  EXPECT_EQ(GdiGetBatchLimit(), 7u);
  GdiSetBatchLimit(0);
}

TEST_F(DrawingSessionTest, FailedBeginReleasesAndFreesTheSession) {
  released_flags.clear();
  DrawingSession* session = drawing_session_create(FORMAT_BGR24 | FORMAT_BOTTOM_UP);
  ASSERT_NE(session, nullptr);
  session->operations.release = record_release;
  EXPECT_EQ(drawing_begin(session), 0) << "no buffer to draw into";
  EXPECT_EQ(drawing_current(), nullptr);
  EXPECT_EQ(released_flags, std::vector<int>{0});
}

TEST_F(DrawingSessionTest, EndReleasesWithFlagOneAndANewOutputEndsAnOldSession) {
  released_flags.clear();
  DrawingSession* first = drawing_session_create(FORMAT_BGR24 | FORMAT_BOTTOM_UP);
  ASSERT_NE(first, nullptr);
  first->operations.release = record_release;
  DrawingSession* second = drawing_session_create(FORMAT_BGR24 | FORMAT_BOTTOM_UP);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(released_flags, std::vector<int>{1}) << "the older session was finished, not leaked";
  EXPECT_EQ(drawing_current(), second);
  second->operations.release = record_release;
  drawing_end();
  EXPECT_EQ(released_flags, (std::vector<int>{1, 1}));
}

TEST_F(DrawingSessionTest, ModeSettingDropsOverriddenBitsAndPremultipliesBlends) {
  DrawingSession* session = drawing_session_create(FORMAT_BGRA32 | FORMAT_BOTTOM_UP);
  ASSERT_NE(session, nullptr);
  drawing_mode_set(session, DRAWING_MODE_ALL_CHANNELS | DRAWING_MODE_ALPHA_BLEND | DRAWING_MODE_ALPHA_CHANNEL);
  EXPECT_EQ(session->mode, DRAWING_MODE_ALL_CHANNELS);
  EXPECT_FALSE(session->premultiply);

  session->operations.set_front_colour(session, 0x80FF4020);
  EXPECT_EQ(session->front.red, 0x20);
  drawing_mode_set(session, DRAWING_MODE_ALPHA_BLEND);
  EXPECT_TRUE(session->premultiply);
  EXPECT_EQ(session->front.red, 0x20 * 0x80) << "the front colour is converted again";
  EXPECT_EQ(session->front.blue, 0xFF * 0x80);
  EXPECT_EQ(session->front.alpha, 0x80);
  EXPECT_EQ(session->front.inverse, 0x7F);
  drawing_mode_set(session, DRAWING_MODE_ALPHA_BLEND | DRAWING_MODE_XOR);
  EXPECT_FALSE(session->premultiply);
  drawing_end();

  session = drawing_session_create(FORMAT_BGR24 | FORMAT_BOTTOM_UP);
  drawing_mode_set(session, DRAWING_MODE_ALL_CHANNELS | DRAWING_MODE_ALPHA_CLIP);
  EXPECT_EQ(session->mode, 0) << "no fourth byte at 3 bytes per pixel";
  drawing_end();
}

TEST_F(DrawingSessionTest, SessionsHoldTheirStartingColours) {
  DrawingSession* session = drawing_session_create(FORMAT_BGR24 | FORMAT_BOTTOM_UP);
  ASSERT_NE(session, nullptr);
  EXPECT_EQ(session->gradient_colours[0], 0xFFFFFFFFu);
  EXPECT_EQ(session->gradient_colours[1], 0xFF000000u);
  EXPECT_EQ(session->back_colour, 0u);
  EXPECT_EQ(session->front.alpha, 0) << "a 0xBBGGRR colour has alpha 0";
  EXPECT_EQ(session->front.inverse, 255);
  drawing_end();
}

}  // namespace
