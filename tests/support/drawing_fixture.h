// A main heap, the image registry and the drawing library for each test; images and any
// session left current are freed afterwards.
#pragma once

#include <gtest/gtest.h>

#include "runtime/graphics/drawing_session.h"
#include "runtime/graphics/image.h"
#include "support/main_heap_fixture.h"

class DrawingTest : public MainHeapTest {
 protected:
  void SetUp() override {
    MainHeapTest::SetUp();
    ASSERT_TRUE(image_library_init());
    static const bool slot_ready = drawing_library_init();  // one slot for the whole run
    ASSERT_TRUE(slot_ready);
  }
  void TearDown() override {
    drawing_end();
    image_free_all();
    MainHeapTest::TearDown();
  }

  // Pixel memory of an image, as its DIB section reports it.
  static BYTE* image_bits(ObjectId number) {
    DIBSECTION section{};
    GetObjectW(image_lookup(number)->bitmap, sizeof section, &section);
    return static_cast<BYTE*>(section.dsBm.bmBits);
  }
};
