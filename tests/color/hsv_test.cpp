// RGB and HSV conversion: worked values, the hue against a floating-point model of the same
// ratio-based hue, round trips over every colour, and the 16-bit variant against the 8-bit one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "color/hsv.h"
#include "qsdisp.h"

namespace {

uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | g << 8 | b << 16; }
uint32_t Packed(uint32_t h, uint32_t s, uint32_t v) { return h | s << 8 | v << 16; }

// Hue in degrees from the two channels that are not the smallest: within each third of the
// circle the position is the second channel's share of their sum above the minimum.
double ModelHueDegrees(int r, int g, int b) {
  const int mn = std::min({r, g, b});
  if (b == mn) return 120.0 * (g - mn) / ((r - mn) + (g - mn));
  if (r == mn) return 120.0 + 120.0 * (b - mn) / ((g - mn) + (b - mn));
  return 240.0 + 120.0 * (r - mn) / ((r - mn) + (b - mn));
}

// Distance between two hues on a circle of the given number of steps.
double CircularDistance(double a, double b, double steps) {
  const double d = std::fabs(a - b);
  return std::min(d, steps - d);
}

int MaxChannelDifference(uint32_t a, uint32_t b) {
  int worst = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  }
  return worst;
}

TEST(RgbToHsv, WorkedValues) {
  struct Case {
    uint32_t colour, hsv;
  };
  const Case cases[] = {
      {Rgb(255, 0, 0), Packed(0, 255, 255)},     // red
      {Rgb(0, 255, 0), Packed(85, 255, 255)},    // green: (30720 + 180) / 360
      {Rgb(0, 0, 255), Packed(171, 255, 255)},   // blue: (30720 + 30900) / 360
      {Rgb(128, 128, 128), Packed(0, 0, 128)},   // grey has no hue or saturation
      {Rgb(255, 0, 1), Packed(0, 255, 255)},     // just below the full circle wraps to 0
      {Rgb(0, 0, 0), Packed(0, 0, 0)},
      {0x12000000u, 0x12000000u},                // the top byte is carried through
      {0xAB0000FFu, 0xABFFFF00u},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Q_RGBtoHSV(c.colour), c.hsv) << std::hex << c.colour;
  }
}

TEST(RgbToHsv, HueFollowsTheChannelRatioAndValueIsTheLargestChannel) {
  for (uint32_t colour = 0; colour < (1u << 24); colour += 997) {
    const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = colour >> 16;
    const uint32_t hsv = Q_RGBtoHSV(colour);
    const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    ASSERT_EQ(int(hsv >> 16), mx) << std::hex << colour;
    ASSERT_NEAR(int((hsv >> 8) & 0xFF), mx == 0 ? 0 : 255.0 * (mx - mn) / mx, 1.0) << std::hex << colour;
    if (mx == mn) continue;
    const double modelSteps = ModelHueDegrees(r, g, b) * 256.0 / 360.0;
    ASSERT_LE(CircularDistance(hsv & 0xFF, modelSteps, 256.0), 1.0) << std::hex << colour;
  }
}

TEST(HsvToRgb, WorkedValues) {
  for (uint32_t hue : {0u, 85u, 200u, 255u}) {
    EXPECT_EQ(Q_HSVtoRGB(Packed(hue, 0, 77)), Rgb(77, 77, 77)) << hue;
  }
  EXPECT_EQ(Q_HSVtoRGB(Packed(85, 255, 255)), Rgb(2, 255, 0));  // 119 degrees
  EXPECT_EQ(Q_HSVtoRGB(Packed(0, 255, 255)), Rgb(255, 0, 0));
  EXPECT_EQ(Q_HSVtoRGB(Packed(171, 255, 255)), Rgb(0, 0, 255));
  EXPECT_EQ(Q_HSVtoRGB(0xFF000000u | Packed(0, 0, 9)), Rgb(9, 9, 9));  // top byte ignored and cleared
}

// Every colour survives the trip there and back within the rounding of an 8-bit hue; a colour
// whose hue is a whole step comes back exactly. The hue comes back up to 0.7 degrees off from
// its rounding and up to 1 more from the whole degrees of the inverse; the middle channel moves
// at most V/30 per degree (mid-sector), so 255 / 30 * 1.7 plus the truncations.
constexpr int kRoundTripTolerance = 15;

TEST(HsvRoundTrip, EveryColourComesBackClose) {
  int worst = 0;
  for (uint32_t colour = 0; colour < (1u << 24); ++colour) {
    worst = std::max(worst, MaxChannelDifference(Q_HSVtoRGB(Q_RGBtoHSV(colour)), colour));
  }
  EXPECT_LE(worst, kRoundTripTolerance);
  for (uint32_t colour : {Rgb(255, 0, 0), Rgb(0, 0, 255), Rgb(10, 10, 10), Rgb(200, 50, 50)}) {
    EXPECT_EQ(Q_HSVtoRGB(Q_RGBtoHSV(colour)), colour) << std::hex << colour;
  }
}

TEST(HsvRoundTrip, SaturatedHuesComeBackWithinOneStep) {
  for (uint32_t hue = 0; hue < 256; ++hue) {
    const uint32_t back = Q_RGBtoHSV(Q_HSVtoRGB(Packed(hue, 255, 255)));
    EXPECT_LE(CircularDistance(back & 0xFF, hue, 256.0), 1.0) << hue;
    EXPECT_EQ(back >> 8, 0xFFFFu) << hue;
  }
}

TEST(RgbToHsv16, PureColoursAndTheUnwrappedTopOfTheCircle) {
  const Hsv16 red = RgbToHsv16(65535, 0, 0), green = RgbToHsv16(0, 65535, 0), blue = RgbToHsv16(0, 0, 65535);
  EXPECT_EQ(red.Hue, 128);  // half a step, truncated
  EXPECT_EQ(green.Hue, 22059);
  EXPECT_EQ(blue.Hue, 43989);
  EXPECT_EQ(red.Saturation, 65535);
  EXPECT_EQ(blue.Value, 65535);
  const Hsv16 grey = RgbToHsv16(4000, 4000, 4000);
  EXPECT_EQ(grey.Hue, 0);
  EXPECT_EQ(grey.Saturation, 0);
  EXPECT_EQ(grey.Value, 4000);
  EXPECT_GT(RgbToHsv16(65535, 0, 1).Hue, 65535);  // not wrapped
}

TEST(RgbToHsv16, AgreesWithTheEightBitConversionOnWidenedColours) {
  for (uint32_t colour = 1; colour < (1u << 24); colour += 1009) {
    const int r = colour & 0xFF, g = (colour >> 8) & 0xFF, b = colour >> 16;
    const Hsv8 narrow = RgbToHsv8(r, g, b);
    const Hsv16 wide = RgbToHsv16(r * 257, g * 257, b * 257);
    ASSERT_EQ(wide.Value, narrow.Value * 257);
    ASSERT_NEAR(wide.Saturation / 257.0, narrow.Saturation, 1.0) << std::hex << colour;
    ASSERT_LE(CircularDistance(wide.Hue / 257.0, narrow.Hue, 256.0), 1.0) << std::hex << colour;
  }
}

}  // namespace
