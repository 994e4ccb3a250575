// Scaled paints: every destination pixel shows the source pixel that the exact stepping names
// (paint_geometry.h), built into bands of unscaled bitmap rows so that the result does not depend
// on the device's own stretching.
#include "frame/result_codes.h"
#include "paint/display_mode_bits.h"
#include "paint/paint_paths.h"
#include "paint/paint_path.h"
#include "qskrn.h"

namespace {
// The whole-bitmap transfer hands the bitmap's own block to the device in one stretch. Only
// upright orientations qualify (1: rows top-down, 4: rows bottom-up, as device-independent
// bitmaps store them), so the picture shows upright; the stored bytes must be a format the
// device reads as they are.
bool WholeTransferFits(const BitmapRecord& b) {
  if (!RowsAddressable(b)) return false;
  if (b.Orientation != 1 && b.Orientation != 4) return false;
  if (b.BytesPerLine != DibStride(b.BitsPerPixel, b.Width)) return false;
  switch (b.BitsPerPixel) {
    case 1: case 4: case 8: case 32: return true;
    case 16: return b.Order != 2;
    case 24: return !(b.Flags & QS_FLAG_PAINT_LUT);
    default: return false;
  }
}

// Decision: the transfer is taken when DisplayMode bit 0x2 is set and a device is there to
// stretch (a paint with no device has nowhere to send it). The device stretches the source
// rectangle onto the whole destination with its halftone mode, showing only the visible part.
int32_t PaintWholeBitmap(const PaintDevice& device, BitmapRecord* bitmap, const PaintGeometry& g, uint32_t mode) {
  PaintBand band{};
  PrepareBandHeader(band, device, *bitmap, kPaintNative, bitmap->BitsPerPixel, mode, false);
  BITMAPINFOHEADER& h = band.Info->Header;
  h.biWidth = bitmap->Width;
  h.biHeight = bitmap->Orientation == 4 ? bitmap->Height : -bitmap->Height;
  h.biSizeImage = uint32_t(bitmap->BytesPerLine) * uint32_t(bitmap->Height);
  return device.StretchWhole(device, &h, bitmap->Bits, g.Dst, g.Src, g.Visible, band.Usage);
}

// The kernel's resampling applies unless the bitmap is a 1-bit grey image.
bool Resamples(BitmapRecord* bitmap, uint32_t mode) {
  if (!(mode & (kModeResampleA | kModeResampleB))) return false;
  return !(bitmap->BitsPerPixel == 1 && KrnIsGrayscale(bitmap) != 0);
}
}  // namespace

int32_t PaintScaledTo(const PaintDevice& device, BitmapRecord* bitmap, const PaintRowBand* rows, const RECT& source,
                      const RECT& sourceClip, const RECT& dest, const RECT* destClip, int32_t depth, int32_t kind) {
  const uint32_t mode = GetThreadDisplayState()->DisplayMode;
  PaintGeometry g;
  if (!PlanPaint(*bitmap, source, sourceClip, dest, destClip, g)) return kResultOk;
  if ((mode & kModeWholeBitmap) && device.StretchWhole != nullptr && rows == nullptr && WholeTransferFits(*bitmap))
    return PaintWholeBitmap(device, bitmap, g, mode);
  const PaintOutput output = ChoosePaintOutput(bitmap, depth, kind);
  if (Resamples(bitmap, mode)) return PaintResampled(device, bitmap, rows, source, g, output, mode);
  return PaintRows(device, bitmap, rows, g, output, false, mode);
}
