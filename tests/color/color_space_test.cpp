// Colour-space conversion: worked values, copies and refusals, the fixed-point spaces against
// floating-point formulas, HLS against a floating-point HLS model, round trips through every
// space of both families, conversion in place, and a failed intermediate allocation.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "common/kernel_fixture.h"
#include "qsdisp.h"

namespace {
using ColorSpace = KernelLeakTest;

std::vector<uint8_t> Convert(const std::vector<uint8_t>& in, int32_t count, uint32_t from, uint32_t to, size_t outBytes) {
  std::vector<uint8_t> out(outBytes, 0xEE);
  EXPECT_EQ(Q_ConvertColorSpace(in.data(), out.data(), count, from, to), 1) << std::hex << from << " -> " << to;
  return out;
}

std::vector<uint8_t> Words(std::initializer_list<int32_t> values) {
  std::vector<uint8_t> bytes;
  for (int32_t v : values) bytes.push_back(uint8_t(v)), bytes.push_back(uint8_t(uint32_t(v) >> 8));
  return bytes;
}

int32_t Word(const std::vector<uint8_t>& b, size_t i) { return int16_t(uint16_t(b[2 * i] | b[2 * i + 1] << 8)); }
int32_t UWord(const std::vector<uint8_t>& b, size_t i) { return b[2 * i] | b[2 * i + 1] << 8; }

TEST_F(ColorSpace, WorkedValues) {
  EXPECT_EQ(Convert({255, 255, 255, 0, 0, 0, 0, 128, 255}, 3, 0, 2, 12),
            (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 255, 0, 127, 255, 0}));
  EXPECT_EQ(Convert({200, 0, 0, 100}, 1, 2, 0, 3), (std::vector<uint8_t>{155, 155, 0}));  // red limited at 0
  const std::vector<uint8_t> ycc = Convert({255, 255, 255}, 1, 0, 1, 6);
  EXPECT_EQ(ycc, Words({16384, 0, 0}));
  const std::vector<uint8_t> hls = Convert(Words({30000, 30000, 30000}), 1, 0x10, 0x50, 6);
  EXPECT_EQ(hls, Words({0, 30000, 0}));
  EXPECT_EQ(Convert(hls, 1, 0x50, 0x10, 6), Words({30000, 30000, 30000}));
  // HSV pixels hold the packed value's bytes: pure red is hue 0, saturation and value 255.
  EXPECT_EQ(Convert({0, 0, 255}, 1, 0, 3, 3), (std::vector<uint8_t>{0, 255, 255}));
}

TEST_F(ColorSpace, CopiesAndRefusals) {
  const std::vector<uint8_t> bgr{1, 2, 3, 4, 5, 6};
  EXPECT_EQ(Convert(bgr, 2, 0, 0, 7), (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 0xEE}));
  const std::vector<uint8_t> wide = Words({1, 2, 3, 4, 5, 6});
  std::vector<uint8_t> out = Convert(wide, 2, 0x10, 0x10, 13);
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + 12), wide);
  EXPECT_EQ(out[12], 0xEE);
  std::vector<uint8_t> untouched(16, 0xEE);
  for (const auto& [from, to] : std::vector<std::pair<uint32_t, uint32_t>>{{0, 0x10}, {0x20, 1}, {7, 0}, {0, 7}, {0x80, 0x10}})
    EXPECT_EQ(Q_ConvertColorSpace(bgr.data(), untouched.data(), 1, from, to), -13) << from << " " << to;
  EXPECT_EQ(Q_ConvertColorSpace(nullptr, untouched.data(), 1, 0, 2), -13);
  EXPECT_EQ(Q_ConvertColorSpace(bgr.data(), nullptr, 1, 0, 2), -13);
  EXPECT_EQ(untouched, std::vector<uint8_t>(16, 0xEE));
  KrnTestFailAllocation(1);  // the intermediate run of a non-BGR source
  EXPECT_EQ(Q_ConvertColorSpace(bgr.data(), untouched.data(), 1, 6, 2), -1);
  KrnTestFailAllocation(0);
  EXPECT_EQ(untouched, std::vector<uint8_t>(16, 0xEE));
}

// Luminance, colour differences and YIQ follow the usual weights in 1/16384 steps; HLS is the
// usual double hexcone with hue in 1/255 (1/65535) of the circle.
TEST_F(ColorSpace, SpacesFollowTheirFloatingPointDefinitions) {
  std::mt19937 rng(9);
  for (int trial = 0; trial < 3000; ++trial) {
    const int b = int(rng() % 256), g = int(rng() % 256), r = int(rng() % 256);
    const std::vector<uint8_t> bgr{uint8_t(b), uint8_t(g), uint8_t(r)};
    const double rf = r / 255.0, gf = g / 255.0, bf = b / 255.0;
    const double y = 0.299 * rf + 0.587 * gf + 0.114 * bf;
    const std::vector<uint8_t> ycc = Convert(bgr, 1, 0, 1, 6), yiq = Convert(bgr, 1, 0, 5, 6);
    EXPECT_NEAR(Word(ycc, 0), y * 16384, 2);
    EXPECT_NEAR(Word(ycc, 1), (bf - y) * 16384, 2);
    EXPECT_NEAR(Word(yiq, 1), (0.596 * rf - 0.275 * gf - 0.321 * bf) * 16384, 2);
    EXPECT_NEAR(Word(yiq, 2), (0.212 * rf - 0.528 * gf + 0.311 * bf) * 16384, 2);
    const std::vector<uint8_t> hls = Convert(bgr, 1, 0, 4, 3);
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    EXPECT_EQ(hls[1], (mx + mn) / 2);
    if (mx == mn) continue;
    const double l = (mx + mn) / 510.0, s = (mx - mn) / 255.0 / (l <= 0.5 ? 2 * l : 2 - 2 * l);
    double h = mx == r ? (gf - bf) / ((mx - mn) / 255.0) : mx == g ? 2 + (bf - rf) / ((mx - mn) / 255.0)
                                                                    : 4 + (rf - gf) / ((mx - mn) / 255.0);
    h = std::fmod(h * 60 + 360, 360) / 360 * 255;
    EXPECT_NEAR(hls[2], s * 255, 1.01) << r << "," << g << "," << b;
    if (hls[2] != 0) {
      EXPECT_LE(std::min(std::fabs(hls[0] - h), 255 - std::fabs(hls[0] - h)), 1.01) << r << "," << g << "," << b;
    }
  }
}

// Each space and back: the complements exactly, the others within what their steps lose:
// - fixed point in 1/16384 steps: a step or two per truncation, four channel units each at
//   16 bits; YIQ's three-digit inverse matrix adds about 0.1% of the full scale;
// - 8-bit hues are 1.4 degrees apart and the middle channel moves by up to V / 30 per degree;
// - the 16-bit forward HSV hue carries half an 8-bit hue step (128.5 units, 0.7 degrees) that
//   the inverse does not take off: up to about 2.3% of the full scale in the middle channel.
TEST_F(ColorSpace, RoundTripsThroughEverySpace) {
  struct Space {
    uint32_t Code;
    size_t Bytes;
    int Tolerance;
  };
  const Space narrow[] = {{1, 6, 1}, {2, 4, 0}, {3, 3, 15}, {4, 3, 8}, {5, 6, 1}, {6, 3, 0}};
  const Space wide[] = {{0x20, 6, 16}, {0x30, 6, 80}, {0x40, 6, 1600}, {0x50, 6, 8}, {0x60, 6, 0}, {0x70, 8, 0}};
  std::mt19937 rng(4);
  constexpr int kPixels = 4000;
  std::vector<uint8_t> bgr8(3 * kPixels), bgr16(6 * kPixels);
  for (auto& v : bgr8) v = uint8_t(rng());
  for (auto& v : bgr16) v = uint8_t(rng());
  for (const auto& [spaces, source, base, full] :
       {std::tuple{std::vector<Space>(std::begin(narrow), std::end(narrow)), &bgr8, 0u, 255},
        std::tuple{std::vector<Space>(std::begin(wide), std::end(wide)), &bgr16, 0x10u, 65535}}) {
    const size_t channelBytes = full == 255 ? 1 : 2;
    for (const Space& s : spaces) {
      const std::vector<uint8_t> there = Convert(*source, kPixels, base, s.Code, s.Bytes * kPixels);
      const std::vector<uint8_t> back = Convert(there, kPixels, s.Code, base, source->size());
      int worst = 0;
      for (size_t i = 0; i < size_t(3 * kPixels); ++i) {
        const int a = channelBytes == 1 ? (*source)[i] : UWord(*source, i), b = channelBytes == 1 ? back[i] : UWord(back, i);
        worst = std::max(worst, std::abs(a - b));
      }
      EXPECT_LE(worst, s.Tolerance) << "space " << std::hex << s.Code;
    }
  }
}

TEST_F(ColorSpace, ConvertsInPlace) {
  std::vector<uint8_t> pixels{10, 20, 30, 40, 50, 60, 70, 80};  // two CMYK pixels
  ASSERT_EQ(Q_ConvertColorSpace(pixels.data(), pixels.data(), 2, 2, 0), 1);
  EXPECT_EQ(std::vector<uint8_t>(pixels.begin(), pixels.begin() + 6),
            (std::vector<uint8_t>{255 - 40 - 30, 255 - 40 - 20, 255 - 40 - 10, 255 - 80 - 70, 255 - 80 - 60,
                                  255 - 80 - 50}));
}
}  // namespace
