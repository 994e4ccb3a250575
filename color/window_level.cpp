// Window-level tables for deep grey images: filled in the caller's memory with a ramp of colours
// over a window of pixel values (fixed colours outside it), and attached to bitmaps together with
// the range of significant bits, so that painting looks pixels up in them.
#include <cstring>

#include "color/window_ramps.h"
#include "frame/bitmap_checks.h"
#include "qsdisp.h"
#include "qskrn.h"

namespace {
constexpr uint32_t kFillModeMask = 0x00F, kRampMask = 0x0F0, kSignMask = 0xF00;
constexpr uint32_t kSignedTable = 0x100;
constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF;  // as COLORREF

// The checked arguments of a fill: which positions exist, the window's levels and the ramp.
struct FillPlan {
  WindowTable Table;
  int32_t First, Last;  // values start .. end of the table
  int32_t Low, High;    // levels L and H
  uint32_t Mode;
  RampShape Shape;
};

int32_t PlanFill(uint32_t* table, int32_t length, int32_t lowValue, int32_t highValue, int32_t lowBit,
                 int32_t highBit, int32_t minValue, int32_t maxValue, int32_t factor, uint32_t flags,
                 bool refuseNegativeUnsigned, FillPlan& plan) {
  if (table == nullptr || length <= 0) return kResultBadArgument;
  const uint32_t mode = flags & kFillModeMask, ramp = flags & kRampMask, sign = flags & kSignMask;
  if ((flags & ~(kFillModeMask | kRampMask | kSignMask)) != 0 || (mode != 1 && mode != 2)) return kResultBadArgument;
  if (ramp < kRampLinear || ramp > kRampSigmoid || (sign != 0 && sign != kSignedTable)) return kResultBadArgument;
  if (ramp == kRampLogarithmic && factor < 0) return kResultBadArgument;
  if (lowBit < 0 || lowBit > 31 || lowBit > highBit || minValue > maxValue || lowValue > highValue)
    return kResultBadArgument;
  const bool isSigned = sign == kSignedTable;
  if (refuseNegativeUnsigned && !isSigned && (lowValue < 0 || highValue < 0)) return kResultBadArgument;
  const int32_t low = lowValue < minValue ? minValue : (lowValue > maxValue ? maxValue : lowValue);
  const int32_t high = highValue < minValue ? minValue : (highValue > maxValue ? maxValue : highValue);
  if (isSigned ? (low < -32768 || high > 32767) : high > 65535) return kResultBadArgument;
  plan.Table = WindowTable{table, length, isSigned};
  plan.First = isSigned ? -int32_t(uint32_t(length) / 2) : 0;
  plan.Last = isSigned ? (length - 1) / 2 : length - 1;
  plan.Low = low >> lowBit;
  plan.High = high >> lowBit;
  plan.Mode = mode;
  plan.Shape = RampShape{factor != 0 ? ramp : kRampLinear, factor * 0.1};
  return kResultOk;
}
}  // namespace

int32_t QSAPI Q_WindowLevel(BitmapRecord* bitmap, int32_t lowBit, int32_t highBit, const uint32_t* table,
                            int32_t length, int32_t apply) {
  const int32_t check = CheckBitmapRecord(bitmap, kResultNoBitmap);
  if (check != kResultOk) return check;
  const int32_t low = lowBit > 0 ? lowBit : 0;
  const int32_t high = highBit < 0 ? bitmap->BitsPerPixel - 1 : highBit;
  if (low > high || (length != 0 && table == nullptr) || (apply != 0 && apply != 1) || length < 0)
    return kResultBadArgument;
  // The copy is made before anything changes, so that a failure leaves the record as it was.
  const bool keepsTable = table != nullptr && length > 0 && table == bitmap->LUT;
  uint32_t* copy = nullptr;
  if (table != nullptr && length > 0 && !keepsTable) {
    copy = static_cast<uint32_t*>(KrnAlloc(uint32_t(length) * 4u));
    if (copy == nullptr) return kResultNoMemory;
    std::memcpy(copy, table, size_t(length) * 4);
  }
  bitmap->WindowLowBit = low;
  bitmap->WindowHighBit = high;
  if (apply == 1) {
    if (bitmap->LowBit != low || bitmap->HighBit != high) {
      bitmap->MinVal = 0;
      bitmap->MaxVal = int32_t((1u << ((high - low + 1) & 31)) - 1u);
    }
    bitmap->LowBit = low;
    bitmap->HighBit = high;
  }
  if (!keepsTable) {
    KrnFree(bitmap->LUT);
    bitmap->LUT = copy;
  }
  bitmap->LUTLength = bitmap->LUT != nullptr ? length : 0;
  if (apply == 1)
    bitmap->Flags |= QS_FLAG_WINDOW_LUT;
  else
    bitmap->Flags &= ~QS_FLAG_WINDOW_LUT;
  return kResultOk;
}

int32_t QSAPI Q_WindowLevelFillLUT(uint32_t* table, int32_t length, uint32_t startColour, uint32_t endColour,
                                   int32_t lowValue, int32_t highValue, int32_t lowBit, int32_t highBit,
                                   int32_t minValue, int32_t maxValue, int32_t factor, uint32_t flags) {
  FillPlan p;
  const int32_t code =
      PlanFill(table, length, lowValue, highValue, lowBit, highBit, minValue, maxValue, factor, flags, true, p);
  if (code != kResultOk) return code;
  // Mode 1: black below the window, white above it; mode 2: the given colours outside, and a
  // black-to-white ramp strictly inside.
  if (p.Mode == 1) {
    FillSpan(p.Table, p.First, p.Low - 1, kBlack);
    FillRamp(p.Table, p.Low, p.High, startColour, endColour, p.Shape);
    FillSpan(p.Table, p.High + 1, p.Last, kWhite);
  } else {
    FillSpan(p.Table, p.First, p.Low, startColour);
    if (p.Low + 1 < p.High) FillRamp(p.Table, p.Low + 1, p.High - 1, kBlack, kWhite, p.Shape);
    FillSpan(p.Table, p.High, p.Last, endColour);
  }
  return kResultOk;
}

int32_t QSAPI Q_WindowLevelFillLUT2(uint32_t* table, int32_t length, uint32_t startColour, uint32_t endColour,
                                    int32_t lowValue, int32_t highValue, int32_t lowBit, int32_t highBit,
                                    int32_t minValue, int32_t maxValue, int32_t factor, uint32_t flags) {
  FillPlan p;
  const int32_t code =
      PlanFill(table, length, lowValue, highValue, lowBit, highBit, minValue, maxValue, factor, flags, false, p);
  if (code != kResultOk) return code;
  // Mode 1: the window alone; mode 2: the given colours outside the window as well.
  if (p.Mode == 1) {
    FillRamp(p.Table, p.Low, p.High, startColour, endColour, p.Shape);
  } else {
    FillSpan(p.Table, p.First, p.Low - 1, startColour);
    if (p.Low < p.High) FillRamp(p.Table, p.Low, p.High, startColour, endColour, p.Shape);
    FillSpan(p.Table, p.High + 1, p.Last, endColour);
  }
  return kResultOk;
}
