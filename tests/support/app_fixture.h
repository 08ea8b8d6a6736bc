// The program started over the headless display for each test: the runtime,
// then the shell's start-up, with .ifs files written to a scratch folder, and
// the means to act as the user (timer ticks, keys, menu, drops, requesters)
// and to read what the user would see (canvas pixels, message boxes).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/image_readers.h"
#include "platform/backend/headless/headless.h"

inline const std::string FERN_TEXT =
    "0 0 0 0.16 0 0 0.01\n"
    "0.85 0.04 -0.04 0.85 0 1.6 0.85\n"
    "0.2 -0.26 0.23 0.22 0 1.6 0.07\n"
    "-0.15 0.28 0.26 0.24 0 0.44 0.07\n";
// One map that sends every point to the origin: all points land, white, on
// the pixels (300, 300) and (301, 300).
inline const std::string ORIGIN_TEXT = "0 0 0 0 0 0 1\n";

// The fern as a file in a scratch folder, for runs of the command-line renderer.
class FernFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fern = folder.file("fern.ifs");
    ::write_file(fern, Bytes(FERN_TEXT.begin(), FERN_TEXT.end()));
  }

  ScratchFolder folder;
  std::string fern;
};

struct ShownMessage {
  std::u16string caption;
  std::u16string text;
  bool operator==(const ShownMessage&) const = default;
};
void PrintTo(const ShownMessage& message, std::ostream* out);

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes `text` as a file in the scratch folder; its full path.
  std::string write_file(const std::string& name, const std::string& text);
  // Makes a folder in the scratch folder; 0 on success.
  int mkdir_all(const std::string& name);
  // The shell's start-up with this file given on the command line (or none).
  void start(const std::optional<std::string>& file = std::nullopt);
  HWND window() const;

  // Moves the clock on by `milliseconds` and handles every event that is
  // waiting, as the event loop would; false when the loop would have ended.
  bool pass_time(int milliseconds);
  // One drawing timer interval.
  bool tick() { return pass_time(1500); }
  // Handles what is waiting without moving the clock.
  bool handle_waiting();

  std::uint32_t canvas_pixel(int x, int y) const;
  // Non-black canvas pixels.
  int lit_pixels() const;
  std::vector<std::uint32_t> canvas_pixels() const;
  std::vector<ShownMessage> messages() const;
  std::vector<HeadlessRequesterRecord> file_dialogs() const;
  std::vector<float> table_values() const;

  ScratchFolder folder;
  bool started = false;
};
