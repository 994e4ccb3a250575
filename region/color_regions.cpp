// Regions chosen by colour: one colour, a red-green-blue range or a hue-saturation-value range.
// Each is built aside from the bitmap's pixels and then combined with its region.
#include "color/hsv.h"
#include "frame/bitmap_checks.h"
#include "qsdisp.h"
#include "region/color_pixels.h"
#include "region/color_scan.h"
#include "region/rgn_combine.h"

namespace {

// Null, size and the scan lock, then storage: the order of the colour-range functions.
int32_t CheckScannable(const BitmapRecord* bitmap) {
  const int32_t code = CheckBitmapRecord(bitmap, kResultNullBitmap);
  if (code != kResultOk) return code;
  if (bitmap->Flags & QS_FLAG_NO_SCAN) return kResultNoScan;
  if ((bitmap->Flags & QS_FLAG_STORAGE) == 0) return kResultNoBitmap;
  return kResultOk;
}

// Opens the bitmap's rows, builds the region of the pixels that pass and combines it.
template <class Test, class Prepare>
int32_t CombineColorRegion(BitmapRecord* bitmap, uint32_t mode, Prepare&& prepare) {
  PixelRows rows;
  int32_t code = OpenPixelRows(rows, *bitmap);
  if (code != kResultOk) return code;
  uint8_t answers[256] = {};
  bool useAnswers = false;
  const Test test = prepare(rows, answers, useAnswers);
  RgnRecord* region = nullptr;
  code = ScanColorRegion(rows, test, useAnswers ? answers : nullptr, &region);
  ClosePixelRows(rows);
  if (code != kResultOk) return code;
  return RgnCombine(bitmap, nullptr, region, mode);
}

struct SameColor {
  Channels Wanted;
  bool Matches;  // false when the colour cannot occur in this bitmap
  bool operator()(const Channels& c) const { return Matches && c == Wanted; }
};

struct RgbRange {
  Channels Lower, Upper;
  bool operator()(const Channels& c) const {
    return Lower.Red <= c.Red && c.Red <= Upper.Red && Lower.Green <= c.Green && c.Green <= Upper.Green &&
           Lower.Blue <= c.Blue && c.Blue <= Upper.Blue;
  }
};

struct HsvRange {
  Hsv16 Lower, Upper;  // on the pixels' scale (8-bit values widened by 257 on 16-bit grey)
  bool Gray16;
  bool operator()(const Channels& c) const {
    Hsv16 p;
    if (Gray16) {
      p = RgbToHsv16(c.Red, c.Green, c.Blue);
    } else {
      const Hsv8 h = RgbToHsv8(c.Red, c.Green, c.Blue);
      p = Hsv16{h.Hue, h.Saturation, h.Value};
    }
    // A lower hue above the upper one is a range across 0.
    const bool hue = Lower.Hue <= Upper.Hue ? Lower.Hue <= p.Hue && p.Hue <= Upper.Hue
                                            : p.Hue >= Lower.Hue || p.Hue <= Upper.Hue;
    return hue && Lower.Saturation <= p.Saturation && p.Saturation <= Upper.Saturation &&
           Lower.Value <= p.Value && p.Value <= Upper.Value;
  }
};

Hsv16 UnpackHsv(uint32_t hsv, bool widen) {
  const int32_t scale = widen ? 257 : 1;
  return {int32_t(hsv & 0xFF) * scale, int32_t((hsv >> 8) & 0xFF) * scale, int32_t((hsv >> 16) & 0xFF) * scale};
}

}  // namespace

int32_t QSAPI RgnColorWorker(BitmapRecord* bitmap, uint32_t colour, uint32_t mode) {
  if ((bitmap->Flags & QS_FLAG_STORAGE) == 0) return kResultNoBitmap;
  return CombineColorRegion<SameColor>(bitmap, mode, [&](const PixelRows& rows, uint8_t* answers, bool& useAnswers) {
    if (rows.IndexBits == 0) return SameColor{DecodeColor(rows, colour), !IsIndexColor(colour)};
    // Palette bitmaps answer by index: the index given, or the entries of that colour (below 8
    // bits only the first such entry, as a palette may repeat colours it never uses).
    useAnswers = true;
    const int32_t entries = 1 << rows.IndexBits;
    if (IsIndexColor(colour)) {
      answers[colour & uint32_t(entries - 1)] = 1;
    } else {
      const Channels wanted = DecodeColor(rows, colour);
      for (int32_t i = 0; i < entries; ++i) {
        const RGBQUAD& q = rows.Palette[i];
        if (Channels{q.rgbRed, q.rgbGreen, q.rgbBlue} != wanted) continue;
        answers[i] = 1;
        if (rows.IndexBits < 8) break;
      }
    }
    return SameColor{};
  });
}

int32_t QSAPI Q_SetBitmapRgnColor(BitmapRecord* bitmap, uint32_t colour, uint32_t mode) {
  const int32_t code = CheckScannable(bitmap);
  if (code != kResultOk) return code;
  return RgnColorWorker(bitmap, colour, mode);
}

int32_t QSAPI Q_SetBitmapRgnColorRGBRange(BitmapRecord* bitmap, uint32_t lower, uint32_t upper, uint32_t mode) {
  const int32_t code = CheckScannable(bitmap);
  if (code != kResultOk) return code;
  return CombineColorRegion<RgbRange>(bitmap, mode, [&](const PixelRows& rows, uint8_t*, bool&) {
    return RgbRange{DecodeColor(rows, lower), DecodeColor(rows, upper)};
  });
}

int32_t QSAPI Q_SetBitmapRgnColorHSVRange(BitmapRecord* bitmap, uint32_t lower, uint32_t upper, uint32_t mode) {
  const int32_t code = CheckScannable(bitmap);
  if (code != kResultOk) return code;
  return CombineColorRegion<HsvRange>(bitmap, mode, [&](const PixelRows& rows, uint8_t*, bool&) {
    return HsvRange{UnpackHsv(lower, rows.Gray16), UnpackHsv(upper, rows.Gray16), rows.Gray16};
  });
}
