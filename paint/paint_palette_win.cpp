// The logical palette that goes with a paint: it follows the same paint kind as the paint itself,
// so that palette and pixels agree on a palette device.
#include "frame/bitmap_checks.h"
#include "frame/thread_state.h"
#include "paint/display_mode_bits.h"
#include "paint/fixed_palettes.h"
#include "paint/paint_palette.h"
#include "paint/paint_path.h"
#include "qsdisp.h"
#include "qskrn.h"

namespace {
constexpr uint32_t kPaletteBytes = 256 * sizeof(RGBQUAD);

// The fixed palette a dithered paint maps its pixels to.
HPALETTE FixedPaintPalette(int32_t depth, uint32_t mode) {
  if ((mode & kModeCubePalette) && depth == 8)
    return KrnCreateGdiPalette(FixedPaletteCube.data(), int32_t(FixedPaletteCube.size()));
  RGBQUAD* table = KrnGetFixedPalette(depth);
  if (table == nullptr) return nullptr;
  HPALETTE palette = KrnCreateGdiPalette(table, 1 << depth);
  KrnFree(table);
  return palette;
}

// The bitmap's own palette, through PaintLUT when the tone table is not the identity.
HPALETTE TonedBitmapPalette(const BitmapRecord* bitmap) {
  if ((bitmap->Flags & QS_FLAG_PAINT_LUT) == 0) return KrnCreateBitmapGdiPalette(bitmap);
  auto* entries = static_cast<RGBQUAD*>(KrnMemAlloc(kPaletteBytes));
  if (entries == nullptr) return nullptr;
  const int32_t n = GetTonedBitmapPalette(bitmap, 0, 256, entries);
  HPALETTE palette = n > 0 ? KrnCreateGdiPalette(entries, n) : nullptr;
  KrnMemFree(entries);
  return palette;
}
}  // namespace

HPALETTE GrayPaintPalette(const BitmapRecord* bitmap, int32_t bits) {
  if (bits == 0) bits = 8;
  if (bits < 1 || bits > 8) return nullptr;
  const int32_t n = 1 << bits;
  auto* entries = static_cast<RGBQUAD*>(KrnMemAlloc(uint32_t(n) * sizeof(RGBQUAD)));
  if (entries == nullptr) return nullptr;
  FillGrayPaintRamp(bitmap, bits, entries);
  HPALETTE palette = KrnCreateGdiPalette(entries, n);
  KrnMemFree(entries);
  return palette;
}

HPALETTE QSAPI Q_CreatePaintPalette(HDC hdc, BitmapRecord* bitmap) {
  if (CheckBitmapRecord(bitmap, kResultFalse) != kResultOk) return nullptr;
  int32_t depth = 24, kind = kPaintNative;
  SelectPaintPath(hdc, bitmap, &depth, &kind);
  switch (kind) {
    case kPaintDither:
      return FixedPaintPalette(depth, GetThreadDisplayState()->DisplayMode);
    case kPaintMonoGray:
    case kPaintMonoGrayInverted:
      return GrayPaintPalette(bitmap, 8);
    default:
      break;
  }
  if (bitmap->BitsPerPixel > 8) return IsGrayHighDepth(bitmap) ? GrayPaintPalette(bitmap, 8) : nullptr;
  if (bitmap->Palette == nullptr) return nullptr;
  return TonedBitmapPalette(bitmap);
}
