#include "paint/paint_lines.h"

#include <cstring>

#include "frame/result_codes.h"
#include "frame/thread_state.h"
#include "paint/display_mode_bits.h"
#include "paint/paint_band.h"
#include "paint/paint_mono.h"
#include "paint/paint_path.h"
#include "qskrn.h"

namespace {
// Pixels per whole byte at the start of a fetch: the first fetched column is rounded down to a
// multiple of this.
int32_t FetchGranule(int32_t bits) {
  switch (bits) {
    case 1: case 3: case 5: case 7: return 8;
    case 2: case 6: return 4;
    case 4: case 12: return 2;
    default: return 1;
  }
}

int64_t WalkSpan(const ColumnWalk& w) {
  const int64_t last = int64_t(w.Count) - 1;
  return last * w.Step + (w.Start + last * w.Remainder) / w.Denominator;
}

// Dither pattern position of a line's first pixel and of the line (see the kernels' column and
// row arguments). Anchored at the destination rectangle for scaled paints, at the picture for
// same-size paints. Lines that are destination columns run bottom to top.
void DitherAnchor(const LinePainter& p, int32_t line, int32_t& column, int32_t& row) {
  const PaintGeometry& g = *p.Geometry;
  const int32_t d = LineDestination(g, line);
  if (!g.Axes.Transposed) {
    column = p.AnchorAtBitmap ? PictureColumn(g, g.Visible.left) : g.Visible.left - g.Dst.left;
    row = p.AnchorAtBitmap ? PictureRow(g, d) : d - g.Dst.top;
  } else {
    const int32_t pictureHeight = g.StoredWidth;
    column = p.AnchorAtBitmap ? pictureHeight - 1 - PictureRow(g, g.Visible.bottom - 1) : g.Dst.bottom - g.Visible.bottom;
    row = p.AnchorAtBitmap ? PictureColumn(g, d) : d - g.Dst.left;
  }
}

// The stored row's bytes from the first fetched column on.
int32_t RowBytes(LinePainter& p, int32_t row, const uint8_t** bytes) {
  const BitmapRecord& b = *p.Bitmap;
  if (p.Direct != nullptr) {
    *bytes = p.Direct + size_t(row) * size_t(b.BytesPerLine) + PixelByteOffset(b.BitsPerPixel, p.FetchColumn);
    return kResultOk;
  }
  *bytes = p.Fetch;
  if (p.Band.Rows != nullptr) {
    const BandFetchContext context{p.Band.Rows, p.Band.FirstRow, p.Band.RowCount};
    return FetchBandRow(p.Bitmap, p.Fetch, row, p.FetchColumn, p.FetchBytes, &context);
  }
  const BitmapFetchContext context{p.Bitmap, 0, 0, nullptr, nullptr, 0};
  return FetchBitmapRow(p.Bitmap, p.Fetch, row, p.FetchColumn, p.FetchBytes, &context);
}

void StepRow(const LinePainter& p, const uint8_t* source, uint8_t* target) {
  const ColumnWalk& w = p.Walk;
  KrnConvertRow(source, target, p.Bitmap->BitsPerPixel, w.First - p.FetchColumn, w.Count, w.Direction, w.Step,
                w.Remainder, w.Denominator, w.Start);
}
}  // namespace

PaintOutput ChoosePaintOutput(BitmapRecord* bitmap, int32_t depth, int32_t kind) {
  const int32_t bits = bitmap->BitsPerPixel;
  PaintOutput out{kPaintNative, bits, nullptr, nullptr};
  if (kind == kPaintDither) {
    const int32_t outBits = depth < 8 ? depth : 8;
    out.Dither = SelectDitherRow(bitmap, bits, outBits);
    if (out.Dither != nullptr) {
      out.Kind = kPaintDither;
      out.Bits = outBits;
    }
  } else if (kind == kPaintConvert && bits != 24) {
    int32_t outBits = 24;
    if (bits == 2 || bits == 3) outBits = 4;
    if (bits >= 5 && bits <= 7) outBits = 8;
    if ((bits == 12 || bits == 16) && IsGrayHighDepth(bitmap)) outBits = 8;
    out.Unpack = SelectUnpackRow(bits, outBits);
    if (out.Unpack != nullptr) {
      out.Kind = kPaintConvert;
      out.Bits = outBits;
    }
  }
  return out;
}

bool RowsAddressable(const BitmapRecord& b) {
  constexpr uint32_t kFlagsNotAddressable = 0x100u | 0x8000u;
  return (b.Flags & QS_FLAG_ONE_BLOCK) && !(b.Flags & kFlagsNotAddressable) && b.Bits != nullptr;
}

void ToneBytes(uint8_t* bytes, uint32_t count, const uint8_t* table) {
  for (uint32_t i = 0; i < count; ++i) bytes[i] = table[bytes[i]];
}

int32_t OpenLinePainter(LinePainter& p, BitmapRecord* bitmap, const PaintRowBand* band, const PaintGeometry& g,
                        LineRoutine routine, const PaintOutput& output, bool anchorAtBitmap, uint32_t mode) {
  p = LinePainter{};
  p.Bitmap = bitmap;
  p.Geometry = &g;
  p.Routine = routine;
  p.Output = output;
  p.AnchorAtBitmap = anchorAtBitmap;
  p.Walk = LineColumns(g);
  p.LastRow = -1;
  if (band != nullptr) p.Band = *band;
  const int32_t bits = bitmap->BitsPerPixel;
  const int32_t n = g.LineLength;
  const int64_t span = WalkSpan(p.Walk);
  const int64_t lo = p.Walk.Direction > 0 ? p.Walk.First : p.Walk.First - span;
  const int64_t hi = p.Walk.Direction > 0 ? p.Walk.First + span : p.Walk.First;
  p.FetchColumn = int32_t(lo - lo % FetchGranule(bits));
  p.FetchBytes = uint32_t(((hi + 1) * bits + 7) / 8 - int64_t(p.FetchColumn) * bits / 8);
  const bool identity = p.Walk.Direction > 0 && p.Walk.Step == 1 && p.Walk.Remainder == 0;
  // A line copied as stored starts at the fetched byte; the device skips the extra pixels.
  p.CopyAsStored = routine == LineRoutine::Copy && identity && !g.Axes.Transposed;
  if (p.CopyAsStored) p.Skip = int32_t(lo) - p.FetchColumn;
  const uint32_t outPixels = uint32_t(n + p.Skip);
  p.LineBytes = uint32_t((uint64_t(outPixels) * uint32_t(output.Bits) + 7) / 8);
  p.ToneOutput = output.Bits == 24 && (bitmap->Flags & QS_FLAG_PAINT_LUT) && bitmap->PaintLUT != nullptr;

  if (band == nullptr && RowsAddressable(*bitmap)) {
    p.Direct = static_cast<const uint8_t*>(bitmap->Bits);
  } else {
    p.Fetch = static_cast<uint8_t*>(KrnMemAlloc(p.FetchBytes + 1));
    if (p.Fetch == nullptr) return kResultNoMemory;
  }
  if (routine == LineRoutine::Unpack || routine == LineRoutine::Dither) {
    p.Working = static_cast<uint8_t*>(KrnMemAlloc(uint32_t(DibStride(bits, n)) + 4));
    if (p.Working == nullptr) return kResultNoMemory;
  }
  if (routine == LineRoutine::Dither) {
    if (!(mode & kModeOrderedDither)) {
      p.Errors = static_cast<int32_t*>(KrnMemAllocEx(3 * uint32_t(n), 4));
      if (p.Errors == nullptr) return kResultNoMemory;
    }
    if (bits <= 8) {
      KrnGetBitmapPalette(bitmap, 0, 1 << bits, p.Palette);
    } else {
      for (int i = 0; i < 256; ++i) p.Palette[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    }
  }
  return kResultOk;
}

int32_t PaintLine(LinePainter& p, int32_t line, uint8_t* dest) {
  const int32_t row = LineStoredRow(*p.Geometry, line);
  const int32_t n = p.Walk.Count;
  if (row == p.LastRow && p.Routine != LineRoutine::Dither) {
    // A repeated source row gives the same line again.
    if (dest != p.LastLine) std::memcpy(dest, p.LastLine, p.LineBytes);
    p.LastLine = dest;
    return kResultOk;
  }
  if (row != p.LastRow) {
    const uint8_t* source = nullptr;
    const int32_t code = RowBytes(p, row, &source);
    if (code != kResultOk) return code;
    p.LastRow = row;
    uint8_t* stepped = p.Routine == LineRoutine::Copy ? dest : p.Working;
    if (p.Routine == LineRoutine::ExpandMono) {
      const int32_t firstBit = (p.Walk.Direction > 0 ? p.Walk.First : p.Walk.First - (n - 1)) - p.FetchColumn;
      ExpandMonoRow(dest, source, firstBit, n, p.Invert ? 1 : 0);
      if (p.Walk.Direction < 0) KrnFlipBuffer(dest, dest, 8, n, 1, DibStride(8, n), 2);
    } else if (p.CopyAsStored) {
      std::memcpy(stepped, source, p.FetchBytes);
    } else {
      StepRow(p, source, stepped);
    }
    if (p.Bitmap->Order == 5) {
      KrnConvertRowFormat(stepped, n, p.Bitmap->BitsPerPixel, p.Bitmap->BitsPerPixel, 5, 1, nullptr, 0);
    }
  }
  if (p.Routine == LineRoutine::Unpack) {
    p.Output.Unpack(dest, p.Working, p.Bitmap, 0, n);
  } else if (p.Routine == LineRoutine::Dither) {
    int32_t column = 0, dstRow = 0;
    DitherAnchor(p, line, column, dstRow);
    // The first line runs twice: the first run only fills the error row.
    if (!p.Started && p.Errors != nullptr)
      p.Output.Dither(dest, p.Working, p.Bitmap, 0, n, column, dstRow, p.Errors, p.Palette);
    p.Output.Dither(dest, p.Working, p.Bitmap, 0, n, column, dstRow, p.Errors, p.Palette);
  }
  if (p.ToneOutput) ToneBytes(dest, uint32_t(n) * 3, p.Bitmap->PaintLUT);
  p.Started = true;
  p.LastLine = dest;
  return kResultOk;
}

void CloseLinePainter(LinePainter& p) {
  KrnMemFree(p.Fetch);
  KrnMemFree(p.Working);
  KrnMemFree(p.Errors);
  p.Fetch = p.Working = nullptr;
  p.Errors = nullptr;
}
