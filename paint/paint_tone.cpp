// The exported tone setters and getters: each setter stores one value and rebuilds PaintLUT.
#include <cstdint>

#include "frame/bitmap_checks.h"
#include "frame/thread_state.h"
#include "paint/tone_table.h"
#include "qsdisp.h"

namespace {
constexpr int32_t kToneLimit = 1000;

int32_t SetToneValue(BitmapRecord* bitmap, int32_t BitmapRecord::*field, int32_t value, bool inRange) {
  GetThreadDisplayState();
  const int32_t code = CheckPaintableBitmap(bitmap);
  if (code != kResultOk) return code;
  if (!inRange) return kResultBadArgument;
  if (bitmap->*field == value) return kResultOk;
  bitmap->*field = value;
  BuildPaintLUT(bitmap);
  return kResultOk;
}

bool InToneRange(int32_t value) { return value >= -kToneLimit && value <= kToneLimit; }
}  // namespace

int32_t QSAPI Q_SetPaintIntensity(BitmapRecord* bitmap, int32_t value) {
  return SetToneValue(bitmap, &BitmapRecord::PaintIntensity, value, InToneRange(value));
}

int32_t QSAPI Q_SetPaintContrast(BitmapRecord* bitmap, int32_t value) {
  return SetToneValue(bitmap, &BitmapRecord::PaintContrast, value, InToneRange(value));
}

int32_t QSAPI Q_SetPaintGamma(BitmapRecord* bitmap, uint32_t value) {
  return SetToneValue(bitmap, &BitmapRecord::PaintGamma, static_cast<int32_t>(value), value != 0);
}

int32_t QSAPI Q_GetPaintIntensity(const BitmapRecord* bitmap) {
  const int32_t code = CheckBitmapRecord(bitmap, kResultBadArgument);
  return code == kResultOk ? bitmap->PaintIntensity : code;
}

int32_t QSAPI Q_GetPaintContrast(const BitmapRecord* bitmap) {
  const int32_t code = CheckBitmapRecord(bitmap, kResultBadArgument);
  return code == kResultOk ? bitmap->PaintContrast : code;
}

// A wrong record size gives 0 here, never a valid gamma.
int32_t QSAPI Q_GetPaintGamma(const BitmapRecord* bitmap) {
  if (bitmap == nullptr) return kResultBadArgument;
  if (bitmap->StructSize != kBitmapRecordSize) return kResultFalse;
  return bitmap->PaintGamma;
}
