// The window of significant bits of deep grey pixels.
#include <gtest/gtest.h>

#include "qskrn.h"

namespace {
struct Window {
  int32_t Bits = -1;
  uint32_t Mask = 0;
  int32_t Shift = -1;
};

Window Ask(int32_t bits, int32_t target, int32_t low, int32_t high) {
  Window w;
  EXPECT_EQ(KrnGetGrayWindow(bits, target, low, high, &w.Bits, &w.Mask, &w.Shift), 1);
  return w;
}
}  // namespace

TEST(KernelGrayWindow, KeepsTheTopTargetBitsOfAWideWindow) {
  const struct {
    int32_t bits, target, low, high;
    int32_t n;
    uint32_t mask;
    int32_t shift;
  } cases[] = {
      {12, 8, 0, 11, 8, 0xFF, 4},      // whole 12-bit pixel read as a byte
      {12, 12, 0, 11, 12, 0xFFF, 0},   // read whole for a window-level table
      {16, 8, 0, 15, 8, 0xFF, 8},
      {16, 16, 4, 13, 10, 0x3FF, 4},
      {12, 8, 2, 5, 4, 0xF, 2},        // a narrow window keeps all its bits
      {12, 8, 3, 10, 8, 0xFF, 3},
      {12, 8, -4, 40, 8, 0xFF, 4},     // cut to the pixel
      {16, 8, 9, 3, 8, 0xFF, 8},       // high below low: the whole pixel
      {16, 0, 0, 15, 16, 0xFFFF, 0},   // a target outside 1..depth means the depth
  };
  for (const auto& c : cases) {
    const Window w = Ask(c.bits, c.target, c.low, c.high);
    EXPECT_EQ(w.Bits, c.n) << c.bits << " " << c.low << ".." << c.high;
    EXPECT_EQ(w.Mask, c.mask) << c.bits << " " << c.low << ".." << c.high;
    EXPECT_EQ(w.Shift, c.shift) << c.bits << " " << c.low << ".." << c.high;
  }
}

TEST(KernelGrayWindow, RefusesOtherDepthsAndMissingOutputs) {
  int32_t n = 0, shift = 0;
  uint32_t mask = 0;
  EXPECT_EQ(KrnGetGrayWindow(8, 8, 0, 7, &n, &mask, &shift), -13);
  EXPECT_EQ(KrnGetGrayWindow(24, 8, 0, 7, &n, &mask, &shift), -13);
  EXPECT_EQ(KrnGetGrayWindow(12, 8, 0, 11, nullptr, &mask, &shift), -13);
  EXPECT_EQ(KrnGetGrayWindow(12, 8, 0, 11, &n, nullptr, &shift), -13);
  EXPECT_EQ(KrnGetGrayWindow(12, 8, 0, 11, &n, &mask, nullptr), -13);
}
