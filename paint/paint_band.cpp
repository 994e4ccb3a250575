#include "paint/paint_band.h"

#include <cstring>

#include "frame/result_codes.h"
#include "paint/display_mode_bits.h"
#include "paint/paint_palette.h"
#include "paint/row_kernels.h"
#include "qskrn.h"

void PrepareBandHeader(PaintBand& band, const PaintDevice& device, const BitmapRecord& bitmap, int32_t pathKind,
                       int32_t outBits, uint32_t mode, bool greyRamp) {
  ThreadDisplayState* state = GetThreadDisplayState();
  DibHeaderWithTable* info = &state->Dib;
  if (device.RasterPrinter) {
    // Printers paint through a copy, so the shared header keeps its palette-index table.
    state->PrinterDib = state->Dib;
    info = &state->PrinterDib;
  }
  BITMAPINFOHEADER& h = info->Header;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biPlanes = 1;
  h.biCompression = 0;
  h.biBitCount = uint16_t(outBits);
  h.biXPelsPerMeter = h.biYPelsPerMeter = 0;
  h.biClrImportant = 0;
  band.Usage = 0;
  if (outBits > 8) {
    h.biClrUsed = 0;
  } else if (mode & kModeIndexColors) {
    h.biClrUsed = 1u << outBits;
    band.Usage = 1;
  } else if (greyRamp) {
    FillGrayPaintRamp(&bitmap, outBits, info->ColorTable.Quads);
    h.biClrUsed = 1u << outBits;
  } else {
    int32_t count = 0;
    GetRowPalette(&bitmap, pathKind, outBits, &count, info->ColorTable.Quads,
                  (mode & kModeCubePalette) ? kRowPaletteCube : 0);
    h.biClrUsed = uint32_t(count);
  }
  band.Device = &device;
  band.Info = info;
  band.OutBits = outBits;
}

int32_t OpenBand(PaintBand& band, const PaintGeometry& g, int32_t skip) {
  band.Geometry = &g;
  band.Skip = skip;
  band.LineBytes = DibStride(band.OutBits, g.LineLength + skip);
  // A band of columns is turned into a second buffer before it is sent: each gets half the
  // budget, so that the two together stay within one band's bytes.
  const int32_t budget = g.Axes.Transposed ? kBandBytes / 2 : kBandBytes;
  int32_t fit = budget / band.LineBytes;
  if (g.Axes.Transposed) {
    // The turned band (LineLength rows of `fit` pixels) must fit as well, padding included.
    const int32_t turnedRow = (budget / g.LineLength) & ~3;
    const int32_t turnedFit = int32_t(int64_t(turnedRow) * 8 / band.OutBits);
    if (turnedFit < fit) fit = turnedFit;
  }
  band.Capacity = fit < 1 ? 1 : (fit < g.Lines ? fit : g.Lines);
  band.Held = 0;
  band.FirstLine = 0;
  band.Turned = nullptr;
  band.Lines = static_cast<uint8_t*>(KrnMemAlloc(uint32_t(band.Capacity + 1) * uint32_t(band.LineBytes)));
  if (band.Lines == nullptr) return kResultNoMemory;
  if (g.Axes.Transposed) {
    band.TurnedStride = DibStride(band.OutBits, band.Capacity);
    band.Turned = static_cast<uint8_t*>(KrnMemAlloc(uint32_t(g.LineLength) * uint32_t(band.TurnedStride) + 1));
    if (band.Turned == nullptr) {
      CloseBand(band);
      return kResultNoMemory;
    }
  }
  return kResultOk;
}

int32_t CommitLine(PaintBand& band) {
  ++band.Held;
  return band.Held == band.Capacity ? FlushBand(band) : kResultOk;
}

int32_t FlushBand(PaintBand& band) {
  if (band.Held == 0) return kResultOk;
  const PaintGeometry& g = *band.Geometry;
  BITMAPINFOHEADER& h = band.Info->Header;
  const void* bits = band.Lines;
  int32_t x, y, w, hgt;
  if (!g.Axes.Transposed) {
    // Lines are destination rows, bottom row first: already a bottom-up bitmap.
    w = g.LineLength;
    hgt = band.Held;
    x = g.Visible.left;
    y = g.Visible.bottom - band.FirstLine - band.Held;
    h.biWidth = w + band.Skip;
    h.biHeight = hgt;
    h.biSizeImage = uint32_t(band.LineBytes) * uint32_t(hgt);
  } else {
    // Lines are destination columns, rightmost first, pixels from the bottom up: a clockwise
    // quarter turn puts the leftmost column first and the bottom row first.
    w = band.Held;
    hgt = g.LineLength;
    x = g.Visible.right - band.FirstLine - band.Held;
    y = g.Visible.top;
    const int32_t stride = DibStride(band.OutBits, w);
    KrnRotateBuffer(band.Lines, band.Turned, band.OutBits, g.LineLength, band.Held, band.LineBytes, stride, 1);
    bits = band.Turned;
    h.biWidth = w;
    h.biHeight = hgt;
    h.biSizeImage = uint32_t(stride) * uint32_t(hgt);
  }
  const int32_t code =
      band.Device->SendBand(*band.Device, &h, bits, x, y, w, hgt, band.Skip, band.Usage);
  band.FirstLine += band.Held;
  band.Held = 0;
  return code == kResultOk ? kResultOk : kResultNoMemory;
}

void CloseBand(PaintBand& band) {
  KrnMemFree(band.Lines);
  KrnMemFree(band.Turned);
  band.Lines = nullptr;
  band.Turned = nullptr;
}
