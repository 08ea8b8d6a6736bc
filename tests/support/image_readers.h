// Independent readers for the files the encoders write: BMP fields read by
// offset, PNG files decoded with libpng's read side and their image data
// inflated with zlib. Also small helpers for files in a scratch folder.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// --- Files ------------------------------------------------------------------
// A fresh folder under the system's temporary folder, removed with its files
// when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  // Names of the entries in the folder, sorted, without "." and "..".
  std::vector<std::string> entries() const;

 private:
  std::string path_;
};

std::u16string to_utf16(const std::string& ascii_path);
bool file_exists(const std::string& path);
Bytes read_file(const std::string& path);
void write_file(const std::string& path, const Bytes& bytes);

// --- BMP --------------------------------------------------------------------
std::uint16_t read_le16(const Bytes& bytes, std::size_t offset);
std::uint32_t read_le32(const Bytes& bytes, std::size_t offset);

// --- PNG --------------------------------------------------------------------
struct PngColour {
  std::uint8_t red, green, blue;
};

struct DecodedPng {
  bool ok = false;
  std::uint32_t width = 0, height = 0;
  int bit_depth = 0, colour_type = -1, interlace = -1;
  std::vector<PngColour> palette;
  // Text chunks before the image data: keyword and text.
  std::vector<std::pair<std::string, std::string>> texts;
  // Rows top line first as libpng delivers them: packed samples, R G B (A).
  std::vector<Bytes> rows;
};

DecodedPng decode_png(const std::string& path);

// The image data of a PNG as zlib stream and inflated bytes.
struct PngImageData {
  bool ok = false;
  Bytes zlib_stream;  // the IDAT chunks joined
  Bytes inflated;     // filter byte + packed row, per row
};

PngImageData png_image_data(const Bytes& png_file);
// The stream deflated anew in one go at `level` with the window and memory
// settings read from its header; equal bytes show the level it was made with.
Bytes deflate_like(const PngImageData& data, int level);

// Index of a pixel in a packed row of `depth`-bit samples, first pixel in the
// high bits.
int packed_sample(const Bytes& row, int x, int depth);
int packed_sample(const std::uint8_t* row, int x, int depth);
