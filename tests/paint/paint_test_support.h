// Helpers shared by the painting tests: records that need no kernel storage, tone tables, a
// display-mode scope and seeded random bytes.
#pragma once
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "qsdisp.h"
#include "qsrecords.h"

// A record described in place (no pixel storage), with its own tone table.
struct DescribedBitmap {
  BitmapRecord Record{};
  std::array<uint8_t, 256> Tone{};
  std::vector<uint32_t> WindowLut;
  DescribedBitmap(int32_t bits, int32_t order) {
    Record.StructSize = QS_RECORD_SIZE;
    Record.BitsPerPixel = bits;
    Record.Order = order;
    Record.Orientation = 1;
    Record.WindowLowBit = 0;
    Record.WindowHighBit = bits > 8 ? bits - 1 : 7;
    for (int i = 0; i < 256; ++i) Tone[i] = uint8_t(i);
    Record.PaintLUT = Tone.data();
  }
  void UseWindowLut(std::vector<uint32_t> lut) {
    WindowLut = std::move(lut);
    Record.LUT = WindowLut.data();
    Record.LUTLength = int32_t(WindowLut.size());
  }
};

// Sets the thread's display mode for one scope.
class ModeScope {
 public:
  explicit ModeScope(uint32_t mode) : previous_(Q_SetDisplayMode(0xFFFFFFFFu, mode)) {}
  ~ModeScope() { Q_SetDisplayMode(0xFFFFFFFFu, previous_); }
  ModeScope(const ModeScope&) = delete;
  ModeScope& operator=(const ModeScope&) = delete;

 private:
  uint32_t previous_;
};

inline std::vector<uint8_t> RandomBytes(std::mt19937& rng, size_t n) {
  std::vector<uint8_t> bytes(n);
  for (auto& b : bytes) b = uint8_t(rng());
  return bytes;
}
