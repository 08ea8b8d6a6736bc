#include "runtime/graphics/encoder_table.h"

#include "platform/call_watch.h"

namespace {

// Filled at start-up, read-only afterwards; never emptied.
struct EncoderTable {
  const ImageEncoder* records[ENCODER_TABLE_CAPACITY];
  int count;
};

EncoderTable encoder_table;

}  // namespace

bool image_encoder_register(const ImageEncoder* encoder) {
  // A 31st encoder is refused rather than written past the table.
  if (encoder == nullptr || encoder_table.count >= ENCODER_TABLE_CAPACITY) return false;
  call_noted(encoder, "image_encoder_register", encoder->format_id);
  encoder_table.records[encoder_table.count++] = encoder;
  return true;
}

const ImageEncoder* image_encoder_find(std::uint32_t format_id) {
  for (int i = 0; i < encoder_table.count; ++i) {
    if (encoder_table.records[i]->format_id == format_id) return encoder_table.records[i];
  }
  return nullptr;
}
