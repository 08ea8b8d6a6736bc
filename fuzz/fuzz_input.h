// Turning a fuzzer's bytes into choices and pictures: the first bytes pick
// numbers, the rest are pixels (repeated when short, so that any input gives
// a whole picture).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  // A number in [low, high] from the next byte (or two, for wider ranges).
  int number(int low, int high) {
    const unsigned span = static_cast<unsigned>(high - low) + 1;
    unsigned value = next();
    if (span > 256) value = value << 8 | next();
    return low + static_cast<int>(value % span);
  }
  // What is left, for pixels.
  const std::uint8_t* rest() const { return data_ + used_; }
  std::size_t rest_size() const { return size_ - used_; }

 private:
  unsigned next() { return used_ < size_ ? data_[used_++] : 0; }
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t used_ = 0;
};

// A picture as an encoder is handed it: rows of B, G, R (A) bytes, `stride`
// apart, bottom line first when row_flags hold ROWS_BOTTOM_UP.
struct FuzzPicture {
  int width = 1, height = 1, source_depth = 24, stride = 0, row_flags = 0;
  std::vector<std::uint8_t> pixels;
  // The row that shows as line y counted from the top.
  const std::uint8_t* row_from_top(int y) const;
};

FuzzPicture fuzz_picture(FuzzInput& input);
