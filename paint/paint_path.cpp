#include "paint/paint_path.h"

#include "paint/display_mode_bits.h"
#include "paint/fixed_palettes.h"
#include "qskrn.h"

int32_t DeviceDepthClass(int32_t planesTimesBits) {
  if (planesTimesBits < 4) return 1;
  if (planesTimesBits < 8) return 4;
  if (planesTimesBits < 16) return 8;
  return 24;
}

bool IsGrayHighDepth(BitmapRecord* bitmap) {
  if (bitmap->Order != 2) return false;
  if (bitmap->LUT == nullptr) return true;
  if (bitmap->Flags & QS_FLAG_WINDOW_LUT) return KrnIsGrayscale(bitmap) != 0;
  // The kernel judges the image through its window-level table only while bit 0x800 is set and
  // the window bits stand in LowBit/HighBit; both go back as they were.
  const int32_t low = bitmap->LowBit, high = bitmap->HighBit;
  bitmap->LowBit = bitmap->WindowLowBit;
  bitmap->HighBit = bitmap->WindowHighBit;
  bitmap->Flags |= QS_FLAG_WINDOW_LUT;
  const bool gray = KrnIsGrayscale(bitmap) != 0;
  bitmap->LowBit = low;
  bitmap->HighBit = high;
  bitmap->Flags &= ~QS_FLAG_WINDOW_LUT;
  return gray;
}

namespace {
// 1-bit bitmaps: grey ones may be painted as grey levels (bit 0x10, deeper devices) or go to
// the 1-bit scaled path (bit 0x40); the others dither only when asked for 8-bit devices.
int32_t MonoKind(BitmapRecord* bitmap, uint32_t mode, int32_t depth, bool ditherAllowed) {
  const bool ditherUpTo8 = ditherAllowed && depth <= 8;
  if ((mode & kModeMonoAsGray) && depth > 1) {
    const int32_t gray = KrnIsGrayscale(bitmap);
    if (gray == 1) return kPaintMonoGray;
    if (gray == 2) return kPaintMonoGrayInverted;
    return ditherUpTo8 ? kPaintDither : kPaintNative;
  }
  if (mode & kModeMonoScaled) {
    const int32_t gray = KrnIsGrayscale(bitmap);
    if (gray == 1) return kPaintMonoScaled;
    if (gray == 2) return kPaintMonoScaledInverted;
    return ditherUpTo8 ? kPaintDither : kPaintNative;
  }
  return ditherAllowed && depth == 8 ? kPaintDither : kPaintNative;
}

// 4-bit bitmaps already in the 16-colour fixed palette go to a 4-bit device as they are.
int32_t FixedPalette16Kind(const BitmapRecord* bitmap) {
  return KrnComparePalette(bitmap, FixedPalette16.data(), int32_t(FixedPalette16.size())) ? kPaintNative
                                                                                           : kPaintDither;
}
}  // namespace

int32_t SelectPaintKind(BitmapRecord* bitmap, uint32_t mode, int32_t depth) {
  const bool fixed = (mode & kModeFixedPalette) != 0;
  const bool wide = (mode & kModeWideDither) != 0;
  switch (bitmap->BitsPerPixel) {
    case 1:
      return MonoKind(bitmap, mode, depth, fixed && wide);
    case 2: case 3: case 5: case 6: case 7:
      if (fixed && ((wide && depth <= 8) || (!wide && depth < 8))) return kPaintDither;
      return kPaintConvert;
    case 4:
      if (!fixed) return kPaintNative;
      if (depth == 4) return FixedPalette16Kind(bitmap);
      if (wide) return depth <= 8 ? kPaintDither : kPaintNative;
      return depth == 1 ? kPaintDither : kPaintNative;
    case 8:
      if (!fixed) return kPaintNative;
      if (depth < 8) return kPaintDither;
      if (wide && depth == 8)
        return KrnComparePalette(bitmap, FixedPalette332.data(), int32_t(FixedPalette332.size())) ? kPaintNative
                                                                                                   : kPaintDither;
      return kPaintNative;
    case 12: case 16:
      if (fixed && (depth < 8 || (depth == 8 && (wide || !IsGrayHighDepth(bitmap))))) return kPaintDither;
      return kPaintConvert;
    case 24:
      if (fixed && depth <= 8) return kPaintDither;
      return bitmap->Order == 5 ? kPaintConvert : kPaintNative;
    case 32: case 48: case 64:
      return fixed && depth <= 8 ? kPaintDither : kPaintConvert;
    default:
      return kPaintNative;
  }
}
