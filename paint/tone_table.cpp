#include "paint/tone_table.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "frame/mul_div.h"

namespace {
int32_t Clamp255(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// The contrast curve before intensity and gamma: a stretch between S and T for positive
// contrast, a compression into S .. T for negative contrast.
void ContrastBase(int32_t contrast, int32_t base[256]) {
  if (contrast == 0) {
    for (int32_t i = 0; i < 256; ++i) base[i] = i;
    return;
  }
  const int32_t magnitude = std::abs(contrast);
  const int32_t s = MulDivRound(magnitude, 128, 4000);
  const auto k = static_cast<int32_t>(5.34 * std::pow(1.5, std::log2(0.128 * magnitude)));
  const int32_t t = 256 - k;
  for (int32_t i = 0; i < 256; ++i) {
    if (contrast > 0)
      base[i] = i < s ? 0 : (i >= t ? 255 : Clamp255(MulDivRound(i - s, 256, t - s)));
    else
      base[i] = (s + Clamp255(MulDivRound(i, t - s, 256))) & 0xFF;
  }
}
}  // namespace

void BuildPaintLUT(BitmapRecord* bitmap) {
  const int32_t intensity = (255 * bitmap->PaintIntensity + 500) / 1000;
  const double gamma = 100.0 / static_cast<uint32_t>(bitmap->PaintGamma);
  int32_t base[256];
  bitmap->Flags &= ~QS_FLAG_PAINT_LUT;
  if (bitmap->PaintLUT == nullptr) return;  // a record without a table is painted untoned
  ContrastBase(bitmap->PaintContrast, base);
  for (int32_t i = 0; i < 256; ++i) {
    const int32_t v = Clamp255(base[i] + intensity);
    const auto entry = static_cast<int32_t>(255.0 * std::pow(v * 0.00392156862745098, gamma) + 0.5);
    bitmap->PaintLUT[i] = static_cast<uint8_t>(entry);
    if (entry != i) bitmap->Flags |= QS_FLAG_PAINT_LUT;
  }
}
