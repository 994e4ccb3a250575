#include "color/hsv.h"

#include <algorithm>

#include "qsdisp.h"

namespace {
// One third of the circle in 1/256-degree steps, and its 16-bit counterpart (120 x 65792).
constexpr int32_t kThird8 = 120 * 256;
constexpr double kThird16 = 120.0 * 65792.0;
// Half a step added before the final division by 360 so that it rounds to nearest.
constexpr int32_t kHalfStep8 = 180;
constexpr double kHalfStep16 = 180.0 * 257.0;

uint32_t Channel(uint32_t colour, int shift) { return (colour >> shift) & 0xFFu; }
}  // namespace

Hsv8 RgbToHsv8(int32_t r, int32_t g, int32_t b) {
  const int32_t mn = std::min({r, g, b}), mx = std::max({r, g, b});
  if (mx == mn) return {0, 0, mx};
  int32_t hue;
  if (b == mn) {
    hue = ((g - mn) * kThird8 / ((r - mn) + (g - mn)) + kHalfStep8) / 360;
  } else if (r == mn) {
    hue = ((b - mn) * kThird8 / ((g - mn) + (b - mn)) + kThird8 + kHalfStep8) / 360;
  } else {
    hue = ((r - mn) * kThird8 / ((r - mn) + (b - mn)) + 2 * kThird8 + kHalfStep8) / 360;
  }
  return {hue & 0xFF, (mx - mn) * 255 / mx, mx};  // a hue of 256 just below the full circle wraps to 0
}

Hsv16 RgbToHsv16(int32_t c0, int32_t c1, int32_t c2) {
  const int32_t mn = std::min({c0, c1, c2}), mx = std::max({c0, c1, c2});
  if (mx == mn) return {0, 0, mx};
  double t;
  if (c2 == mn) {
    t = (c1 - mn) * kThird16 / (c0 + c1 - 2.0 * mn) + kHalfStep16;
  } else if (c0 == mn) {
    t = (c2 - mn) * kThird16 / (c1 + c2 - 2.0 * mn) + kThird16 + kHalfStep16;
  } else {
    t = (c0 - mn) * kThird16 / (c2 + c0 - 2.0 * mn) + 2 * kThird16 + kHalfStep16;
  }
  return {int32_t(t * (1.0 / 360.0)), int32_t(double(mx - mn) * 65535.0 / mx), mx};
}

uint32_t QSAPI Q_RGBtoHSV(uint32_t colour) {
  const Hsv8 hsv = RgbToHsv8(int32_t(Channel(colour, 0)), int32_t(Channel(colour, 8)), int32_t(Channel(colour, 16)));
  return uint32_t(hsv.Hue) | uint32_t(hsv.Saturation) << 8 | uint32_t(hsv.Value) << 16 | (colour & 0xFF000000u);
}

uint32_t QSAPI Q_HSVtoRGB(uint32_t hsv) {
  const int32_t h = int32_t(Channel(hsv, 0)), s = int32_t(Channel(hsv, 8)), v = int32_t(Channel(hsv, 16));
  int32_t r = v, g = v, b = v;
  if (s != 0) {
    const int32_t d = (h * 360) >> 8;  // whole degrees, 0 to 358
    const int32_t m = (255 - s) * v / 255, k = v - m;
    // Each sector has one channel at V, one at the minimum, and one between them.
    if (d <= 60) {
      r = v, g = m + k * d / (120 - d), b = m;
    } else if (d <= 120) {
      r = m + k * (120 - d) / d, g = v, b = m;
    } else if (d <= 180) {
      r = m, g = v, b = m + k * (d - 120) / (240 - d);
    } else if (d <= 240) {
      r = m, g = m + k * (240 - d) / (d - 120), b = v;
    } else if (d <= 300) {
      r = m + k * (d - 240) / (360 - d), g = m, b = v;
    } else {
      r = v, g = m, b = m + k * (360 - d) / (d - 240);
    }
  }
  return uint32_t(r & 0xFF) | uint32_t(g & 0xFF) << 8 | uint32_t(b & 0xFF) << 16;
}
