// The hue-based spaces of the colour-space conversion: HSV on this library's ratio hue (8-bit
// through Q_RGBtoHSV / Q_HSVtoRGB, 16-bit with its own inverse), and HLS in both families.
#include <algorithm>
#include <cmath>

#include "color/color_space.h"
#include "color/hsv.h"
#include "qsdisp.h"

namespace {
int32_t Truncate(double v) { return int32_t(std::trunc(v)); }
}  // namespace

// ---- HSV ----
Bgr ReadHsv8(const uint8_t* p) {
  const uint32_t rgb = Q_HSVtoRGB(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16);
  return {int32_t((rgb >> 16) & 0xFF), int32_t((rgb >> 8) & 0xFF), int32_t(rgb & 0xFF)};
}

void WriteHsv8(uint8_t* p, Bgr c) {
  const uint32_t colour = (uint32_t(c.R) & 0xFF) | (uint32_t(c.G) & 0xFF) << 8 | (uint32_t(c.B) & 0xFF) << 16;
  const uint32_t hsv = Q_RGBtoHSV(colour);
  p[0] = uint8_t(hsv), p[1] = uint8_t(hsv >> 8), p[2] = uint8_t(hsv >> 16);
}

void WriteHsv16(uint8_t* p, Bgr c) {
  const Hsv16 hsv = RgbToHsv16(c.R, c.G, c.B);
  Put16(p, 0, hsv.Hue), Put16(p, 1, hsv.Saturation), Put16(p, 2, hsv.Value);  // a hue past 65535 wraps
}

// The 16-bit inverse: the hue in 1/257 degree steps (92520 for the full circle), six sectors
// as in the 8-bit inverse, each with one channel at V, one at the minimum m and one between.
Bgr ReadHsv16(const uint8_t* p) {
  const int64_t h = Get16(p, 0), s = Get16(p, 1), v = Get16(p, 2);
  if (s == 0) return {int32_t(v), int32_t(v), int32_t(v)};
  const int64_t d = (h * 45) >> 5;
  const int64_t m = Truncate((double(v) * 65535.0 - double(s) * double(v)) / 65535.0), k = v - m;
  int64_t r, g, b;
  if (d < 15421) {
    r = v, g = m + k * d / (30840 - d), b = m;
  } else if (d <= 30840) {
    r = m + k * (30840 - d) / d, g = v, b = m;
  } else if (d <= 46260) {
    r = m, g = v, b = m + k * (d - 30840) / (61680 - d);
  } else if (d <= 61680) {
    r = m, g = m + k * (61680 - d) / (d - 30840), b = v;
  } else if (d <= 77100) {
    r = m + k * (d - 61680) / (92520 - d), g = m, b = v;
  } else {
    r = v, g = m, b = m + k * (92520 - d) / (d - 61680);
  }
  return {int32_t(b), int32_t(g), int32_t(r)};
}

// ---- HLS ----
namespace {
// Hue, lightness and saturation on a scale whose top is `full` (255 or 65535), with hue
// thirds at full / 3 and 2 full / 3; doubles truncated, as the 16-bit family wants (the 8-bit
// results are the same as integer arithmetic's).
struct Hls {
  int32_t H, L, S;
};

Hls ToHls(Bgr c, int32_t full) {
  const int32_t mx = std::max({c.R, c.G, c.B}), mn = std::min({c.R, c.G, c.B}), delta = mx - mn;
  const int32_t lightness = (mx + mn) >> 1;
  if (delta == 0) return {0, lightness, 0};
  const double sum = double(mx) + mn;
  const int32_t s = sum <= full ? Truncate(double(delta) * full / sum) : Truncate(double(delta) * full / (2.0 * full - sum));
  if (s == 0) return {0, lightness, 0};
  const double sixth = 6.0 * delta;
  int32_t h;
  if (c.R == mx)
    h = Truncate(double(c.G - c.B) * full / sixth);
  else if (c.G == mx)
    h = Truncate(double(c.B - c.R) * full / sixth) + full / 3;
  else
    h = Truncate(double(c.R - c.G) * full / sixth) + 2 * full / 3;
  if (h < 0) h += full;
  return {h, lightness, s};
}
}  // namespace

Bgr ReadHls8(const uint8_t* p) {
  const int32_t h = p[0], l = p[1], s = p[2];
  if (s == 0) return {l, l, l};
  const int32_t m2 = l < 128 ? (s + 255) * l / 255 : s + l - s * l / 255, m1 = 2 * l - m2;
  auto f = [&](int32_t hue) {
    if (hue >= 256) hue -= 255;
    if (hue < 0) hue += 255;
    if (hue < 43) return m1 + (m2 - m1) * hue * 6 / 255;
    if (hue < 128) return m2;
    if (hue <= 170) return m1 + (m2 - m1) * 6 * (170 - hue) / 255;
    return m1;
  };
  return {f(h - 85), f(h), f(h + 85)};
}

void WriteHls8(uint8_t* p, Bgr c) {
  const Hls hls = ToHls(c, 255);
  p[0] = uint8_t(hls.H), p[1] = uint8_t(hls.L), p[2] = uint8_t(hls.S);
}

Bgr ReadHls16(const uint8_t* p) {
  const int32_t h = Get16(p, 0), l = Get16(p, 1), s = Get16(p, 2);
  if (s == 0) return {l, l, l};
  const int32_t m2 = l < 32768 ? Truncate((double(s) + 65535.0) * l / 65535.0)
                               : Truncate(double(s) + l - double(s) * l / 65535.0);
  const int32_t m1 = 2 * l - m2;
  auto f = [&](int32_t hue) {
    if (hue > 65535) hue -= 65535;
    if (hue < 0) hue += 65535;
    if (hue <= 10922) return std::min(65535, m1 + Truncate(double(m2 - m1) * hue * 6.0 / 65535.0));
    if (hue < 32768) return m2;
    if (hue <= 43690) return std::min(65535, m1 + Truncate(double(m2 - m1) * (43690 - hue) * 6.0 / 65535.0));
    return m1;
  };
  return {f(h - 21845), f(h), f(h + 21845)};
}

void WriteHls16(uint8_t* p, Bgr c) {
  const Hls hls = ToHls(c, 65535);
  Put16(p, 0, hls.H), Put16(p, 1, hls.L), Put16(p, 2, hls.S);
}
