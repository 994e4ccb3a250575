#include "paint/paint_palette.h"

#include "qskrn.h"

int32_t GetTonedBitmapPalette(const BitmapRecord* bitmap, int32_t first, int32_t count, RGBQUAD* buffer) {
  const int32_t n = KrnGetBitmapPalette(bitmap, first, count, buffer);
  if (n <= 0 || (bitmap->Flags & QS_FLAG_PAINT_LUT) == 0 || bitmap->PaintLUT == nullptr) return n;
  const uint8_t* lut = bitmap->PaintLUT;
  for (int32_t i = 0; i < n; ++i) {
    buffer[i].rgbBlue = lut[buffer[i].rgbBlue];
    buffer[i].rgbGreen = lut[buffer[i].rgbGreen];
    buffer[i].rgbRed = lut[buffer[i].rgbRed];
  }
  return n;
}

void FillGrayPaintRamp(const BitmapRecord* bitmap, int32_t bits, RGBQUAD* entries) {
  const uint32_t n = 1u << (bits == 0 ? 8 : bits);
  const uint8_t* lut = bitmap->PaintLUT;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t level = i * 255 / (n - 1);
    const auto shown = static_cast<uint8_t>(lut != nullptr ? lut[level] : level);
    entries[i] = RGBQUAD{shown, shown, shown, 0};
  }
}
