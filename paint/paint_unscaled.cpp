// Same-size paints. Rows that the device can read as stored (a native copy of an upright bitmap
// whose rows lie in one block) go to it in place, without a copy; every other paint goes through
// bands like a scaled paint with a step of one pixel.
#include "frame/result_codes.h"
#include "paint/paint_paths.h"
#include "paint/paint_path.h"

namespace {
// The stored rows that the visible lines read, as one run, when the device can take them in
// place: returns their first byte and sets the header's height sign for their order.
const uint8_t* RowsInPlace(const BitmapRecord& b, const PaintRowBand* rows, const PaintGeometry& g,
                           int32_t& firstRow, int32_t& count, bool& topDown) {
  if (g.Axes.Transposed || g.Axes.ReverseX || b.Order == 5) return nullptr;
  if (b.BitsPerPixel == 24 && (b.Flags & QS_FLAG_PAINT_LUT)) return nullptr;
  if (b.BytesPerLine != DibStride(b.BitsPerPixel, b.Width)) return nullptr;
  const int32_t top = PictureRow(g, g.Visible.top), bottom = PictureRow(g, g.Visible.bottom - 1);
  count = bottom - top + 1;
  // Orientation 4 stores the picture's bottom row first, as a bottom-up bitmap does.
  topDown = !g.Axes.ReverseY;
  firstRow = topDown ? top : b.Height - 1 - bottom;
  if (rows != nullptr) {
    if (firstRow < rows->FirstRow || firstRow + count > rows->FirstRow + rows->RowCount) return nullptr;
    return rows->Rows + size_t(firstRow - rows->FirstRow) * size_t(b.BytesPerLine);
  }
  if (!RowsAddressable(b)) return nullptr;
  return static_cast<const uint8_t*>(b.Bits) + size_t(firstRow) * size_t(b.BytesPerLine);
}

// Sends the rows in pieces of about a band each: devices take many small transfers faster than
// one that spans the whole bitmap.
int32_t SendInPlace(const PaintDevice& device, BitmapRecord* bitmap, const PaintGeometry& g, const uint8_t* bits,
                    int32_t count, bool topDown, uint32_t mode) {
  PaintBand band{};
  PrepareBandHeader(band, device, *bitmap, kPaintNative, bitmap->BitsPerPixel, mode, false);
  BITMAPINFOHEADER& h = band.Info->Header;
  h.biWidth = bitmap->Width;
  const int32_t w = g.Visible.right - g.Visible.left;
  const int32_t perPiece = kBandBytes / bitmap->BytesPerLine > 0 ? kBandBytes / bitmap->BytesPerLine : 1;
  for (int32_t done = 0; done < count; done += perPiece) {
    const int32_t rows = count - done < perPiece ? count - done : perPiece;
    // Memory runs down the picture for top-down rows and up it for bottom-up rows.
    const int32_t y = topDown ? g.Visible.top + done : g.Visible.bottom - done - rows;
    h.biHeight = topDown ? -rows : rows;
    h.biSizeImage = uint32_t(bitmap->BytesPerLine) * uint32_t(rows);
    const int32_t code = device.SendBand(device, &h, bits + size_t(done) * size_t(bitmap->BytesPerLine),
                                         g.Visible.left, y, w, rows, PictureColumn(g, g.Visible.left), band.Usage);
    if (code != kResultOk) return code;
  }
  return kResultOk;
}
}  // namespace

int32_t PaintUnscaledTo(const PaintDevice& device, BitmapRecord* bitmap, const PaintRowBand* rows, const RECT& source,
                        const RECT& sourceClip, const RECT& dest, const RECT* destClip, int32_t depth, int32_t kind) {
  const uint32_t mode = GetThreadDisplayState()->DisplayMode;
  PaintGeometry g;
  if (!PlanPaint(*bitmap, source, sourceClip, dest, destClip, g)) return kResultOk;
  const PaintOutput output = ChoosePaintOutput(bitmap, depth, kind);
  if (output.Kind == kPaintNative) {
    int32_t firstRow = 0, count = 0;
    bool topDown = false;
    const uint8_t* bits = RowsInPlace(*bitmap, rows, g, firstRow, count, topDown);
    if (bits != nullptr) return SendInPlace(device, bitmap, g, bits, count, topDown, mode);
  }
  return PaintRows(device, bitmap, rows, g, output, true, mode);
}
