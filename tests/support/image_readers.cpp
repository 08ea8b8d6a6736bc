#include "support/image_readers.h"

#include <dirent.h>
#include <png.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

// --- Files ------------------------------------------------------------------

ScratchFolder::ScratchFolder() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern = std::string(base != nullptr && base[0] != 0 ? base : "/tmp") + "/ifs-test-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back(0);
  if (mkdtemp(name.data()) != nullptr) path_ = name.data();
}

// Folders the tests made inside go too (an --all folder of pictures, say).
ScratchFolder::~ScratchFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> ScratchFolder::entries() const {
  std::vector<std::string> names;
  DIR* folder = opendir(path_.c_str());
  if (folder == nullptr) return names;
  while (dirent* entry = readdir(folder)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(folder);
  std::sort(names.begin(), names.end());
  return names;
}

std::u16string to_utf16(const std::string& ascii_path) { return std::u16string(ascii_path.begin(), ascii_path.end()); }

bool file_exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

Bytes read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// --- BMP --------------------------------------------------------------------

std::uint16_t read_le16(const Bytes& bytes, std::size_t offset) {
  if (offset + 2 > bytes.size()) return 0;
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::uint32_t read_le32(const Bytes& bytes, std::size_t offset) {
  if (offset + 4 > bytes.size()) return 0;
  return static_cast<std::uint32_t>(read_le16(bytes, offset)) |
         static_cast<std::uint32_t>(read_le16(bytes, offset + 2)) << 16;
}

// --- PNG --------------------------------------------------------------------

namespace {

struct ReadState {
  FILE* file;
  png_structp png;
  png_infop info;
};

// Plain values only in the frame that calls setjmp.
bool decode_guarded(ReadState* state, DecodedPng* out) {
  if (setjmp(png_jmpbuf(state->png)) != 0) return false;
  png_init_io(state->png, state->file);
  png_read_info(state->png, state->info);
  out->width = png_get_image_width(state->png, state->info);
  out->height = png_get_image_height(state->png, state->info);
  out->bit_depth = png_get_bit_depth(state->png, state->info);
  out->colour_type = png_get_color_type(state->png, state->info);
  out->interlace = png_get_interlace_type(state->png, state->info);
  png_colorp colours = nullptr;
  int count = 0;
  if (png_get_PLTE(state->png, state->info, &colours, &count) != 0) {
    for (int i = 0; i < count; ++i) out->palette.push_back({colours[i].red, colours[i].green, colours[i].blue});
  }
  png_textp texts = nullptr;
  const int text_count = png_get_text(state->png, state->info, &texts, nullptr);
  for (int i = 0; i < text_count; ++i) out->texts.emplace_back(texts[i].key, texts[i].text);
  std::size_t row_bytes = png_get_rowbytes(state->png, state->info);
  out->rows.assign(out->height, Bytes(row_bytes));
  for (Bytes& row : out->rows) png_read_row(state->png, row.data(), nullptr);
  png_read_end(state->png, nullptr);
  return true;
}

}  // namespace

DecodedPng decode_png(const std::string& path) {
  DecodedPng out;
  ReadState state{std::fopen(path.c_str(), "rb"), nullptr, nullptr};
  if (state.file == nullptr) return out;
  state.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (state.png != nullptr) state.info = png_create_info_struct(state.png);
  if (state.info != nullptr) out.ok = decode_guarded(&state, &out);
  png_destroy_read_struct(&state.png, &state.info, nullptr);
  std::fclose(state.file);
  return out;
}

PngImageData png_image_data(const Bytes& png_file) {
  PngImageData data;
  std::size_t at = 8;  // after the signature
  while (at + 12 <= png_file.size()) {
    std::uint32_t length = static_cast<std::uint32_t>(png_file[at]) << 24 | png_file[at + 1] << 16 |
                           png_file[at + 2] << 8 | png_file[at + 3];
    std::string type(png_file.begin() + static_cast<long>(at) + 4, png_file.begin() + static_cast<long>(at) + 8);
    if (at + 12 + length > png_file.size()) return data;
    if (type == "IDAT") {
      data.zlib_stream.insert(data.zlib_stream.end(), png_file.begin() + static_cast<long>(at) + 8,
                              png_file.begin() + static_cast<long>(at + 8 + length));
    }
    at += 12 + length;
  }
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) return data;
  stream.next_in = data.zlib_stream.data();
  stream.avail_in = static_cast<uInt>(data.zlib_stream.size());
  std::uint8_t buffer[65536];
  int status = Z_OK;
  while (status == Z_OK) {
    stream.next_out = buffer;
    stream.avail_out = sizeof buffer;
    status = inflate(&stream, Z_NO_FLUSH);
    data.inflated.insert(data.inflated.end(), buffer, buffer + (sizeof buffer - stream.avail_out));
  }
  inflateEnd(&stream);
  data.ok = status == Z_STREAM_END;
  return data;
}

Bytes deflate_like(const PngImageData& data, int level) {
  Bytes out;
  if (data.zlib_stream.empty()) return out;
  int window_bits = (data.zlib_stream[0] >> 4) + 8;
  z_stream stream{};
  if (deflateInit2(&stream, level, Z_DEFLATED, window_bits, 8, Z_DEFAULT_STRATEGY) != Z_OK) return out;
  out.resize(deflateBound(&stream, data.inflated.size()));
  stream.next_in = const_cast<Bytef*>(data.inflated.data());
  stream.avail_in = static_cast<uInt>(data.inflated.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  int status = deflate(&stream, Z_FINISH);
  out.resize(status == Z_STREAM_END ? stream.total_out : 0);
  deflateEnd(&stream);
  return out;
}

int packed_sample(const std::uint8_t* row, int x, int depth) {
  int bit = x * depth;
  int shift = 8 - depth - bit % 8;
  return (row[bit / 8] >> shift) & ((1 << depth) - 1);
}

int packed_sample(const Bytes& row, int x, int depth) { return packed_sample(row.data(), x, depth); }
