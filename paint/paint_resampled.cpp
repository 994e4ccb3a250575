// Scaled paints whose rows come from the kernel's resampling sequence (DisplayMode bits 0x200
// and 0x400). The sequence resamples the source rectangle, in stored orientation, to the
// destination's size (width and height exchanged when stored rows are picture columns); each
// output line is one resampled row, mirrored where the stored axis runs against the line.
#include "frame/result_codes.h"
#include "paint/display_mode_bits.h"
#include "paint/paint_path.h"
#include "paint/paint_paths.h"
#include "qskrn.h"

namespace {
// Output depth: dithered output stays at the device's fixed-palette depth, grey output at its
// grey depth; any other output of 8 bits or fewer becomes 24-bit colour, since interpolated
// colours are not in the bitmap's palette.
int32_t ResampledBits(BitmapRecord* bitmap, const PaintOutput& output) {
  if (output.Bits > 8 || output.Kind == kPaintDither) return output.Bits;
  const int32_t bits = bitmap->BitsPerPixel;
  const bool fullGreyRamp = bits <= 8 && bits > 1 && KrnIsGrayscale(bitmap) == 1 && bitmap->ColorCount == 1 << bits;
  const bool deepGrey = (bits == 12 || bits == 16) && output.Bits == 8;
  return fullGreyRamp || deepGrey ? output.Bits : 24;
}

uint32_t ResizeOptions(const BitmapRecord& b, const PaintOutput& output, uint32_t mode) {
  uint32_t options = (mode & kModeResampleA) ? KRN_RESIZE_SMOOTH : KRN_RESIZE_SHARP;
  if (output.Kind == kPaintDither && output.Bits <= 8) {
    options |= KRN_RESIZE_DITHER;
    if (mode & kModeOrderedDither) options |= KRN_RESIZE_ORDERED;
    if (mode & kModeCubePalette) options |= KRN_RESIZE_CUBE;
  }
  // Colour is read by Order and written blue first, except for an Order 0 bitmap of more than
  // 8 bits, whose bytes go to the device as stored (as its native paint sends them).
  if (!(b.Order == 0 && b.BitsPerPixel > 8)) options |= KRN_RESIZE_BGR;
  return options;
}

// Rows of a caller's band, handed to FetchBitmapRow as its row callback.
int32_t QSAPI BandRowCallback(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column, uint32_t bytes,
                              void* user) {
  return FetchBandRow(bitmap, buffer, row, column, bytes, user);
}

struct ResampleSource {
  BitmapRecord Work;
  bool UsesWork = false;
  BandFetchContext Band{};
  BitmapFetchContext Fetch{};
};

// The source the sequence reads: the bitmap itself when it is read whole from its own rows,
// otherwise a work record of the source rectangle's size whose rows come through FetchBitmapRow.
int32_t OpenSource(ResampleSource& s, BitmapRecord* bitmap, const PaintRowBand* rows, const RECT& source,
                   const BitmapRecord** record) {
  const bool whole = source.left == 0 && source.top == 0 && source.right == bitmap->Width &&
                     source.bottom == bitmap->Height;
  *record = bitmap;
  if (whole && rows == nullptr) return kResultOk;
  const int32_t w = source.right - source.left, h = source.bottom - source.top;
  int32_t code = KrnInitResizedBitmap(&s.Work, bitmap, QS_RECORD_SIZE, w, h, bitmap->BitsPerPixel, 0);
  if (code != kResultOk) return code;
  s.UsesWork = true;
  if (bitmap->Order == 2) {
    KrnCopyBitmapInfo(&s.Work, bitmap);
    s.Work.LUT = bitmap->LUT;  // shared, never freed through the work record
    s.Work.LUTLength = bitmap->LUTLength;
  }
  s.Fetch = BitmapFetchContext{bitmap, source.left, source.top, nullptr, nullptr,
                               int32_t((int64_t(bitmap->BitsPerPixel) * source.left) % 8)};
  if (rows != nullptr) {
    s.Band = BandFetchContext{rows->Rows, rows->FirstRow, rows->RowCount};
    s.Fetch.Callback = BandRowCallback;
    s.Fetch.User = &s.Band;
  }
  *record = &s.Work;
  return kResultOk;
}

// The resampled row and columns of line `line`; mirror when they run against the line.
void LineSpan(const PaintGeometry& g, int32_t line, int32_t& row, int32_t& column, bool& mirror) {
  const int32_t d = LineDestination(g, line);
  const int32_t dstW = int32_t(g.DstW), dstH = int32_t(g.DstH);
  if (!g.Axes.Transposed) {
    row = d - g.Dst.top;
    if (g.Axes.ReverseY) row = dstH - 1 - row;
    column = g.Axes.ReverseX ? dstW - (g.Visible.right - g.Dst.left) : g.Visible.left - g.Dst.left;
    mirror = g.Axes.ReverseX;
  } else {  // line pixels run bottom to top; resampled columns follow the picture's rows
    row = d - g.Dst.left;
    if (g.Axes.ReverseY) row = dstW - 1 - row;
    column = g.Axes.ReverseX ? dstH - (g.Visible.bottom - g.Dst.top) : g.Visible.top - g.Dst.top;
    mirror = !g.Axes.ReverseX;
  }
}
}  // namespace

int32_t PaintResampled(const PaintDevice& device, BitmapRecord* bitmap, const PaintRowBand* rows, const RECT& source,
                       const PaintGeometry& g, const PaintOutput& output, uint32_t mode) {
  const int32_t outBits = ResampledBits(bitmap, output);
  ResampleSource s;
  const BitmapRecord* record = nullptr;
  int32_t code = OpenSource(s, bitmap, rows, source, &record);
  if (code != kResultOk) return code;

  // The sequence reads grey data through the window bits while it starts.
  auto* reading = const_cast<BitmapRecord*>(record);
  const int32_t low = reading->LowBit, high = reading->HighBit;
  reading->LowBit = reading->WindowLowBit;
  reading->HighBit = reading->WindowHighBit;
  void* context = nullptr;
  const int32_t width = int32_t(g.Axes.Transposed ? g.DstH : g.DstW);
  const int32_t height = int32_t(g.Axes.Transposed ? g.DstW : g.DstH);
  code = KrnStartResize(record, s.UsesWork ? FetchBitmapRow : nullptr, s.UsesWork ? &s.Fetch : nullptr, width, height,
                        outBits, nullptr, ResizeOptions(*bitmap, output, mode), &context);
  reading->LowBit = low;
  reading->HighBit = high;

  PaintBand band{};
  if (code == kResultOk) {
    PrepareBandHeader(band, device, *bitmap, outBits <= 8 ? output.Kind : kPaintNative, outBits, mode, false);
    code = OpenBand(band, g, 0);
  }
  const bool tone = outBits == 24 && (bitmap->Flags & QS_FLAG_PAINT_LUT) && bitmap->PaintLUT != nullptr;
  for (int32_t line = 0; code == kResultOk && line < g.Lines; ++line) {
    int32_t row = 0, column = 0;
    bool mirror = false;
    LineSpan(g, line, row, column, mirror);
    uint8_t* dest = CurrentLine(band);
    code = KrnResizeRow(context, dest, row, column, g.LineLength);
    if (code != kResultOk) {
      FlushBand(band);  // the rows already made are still sent
      break;
    }
    if (mirror) KrnFlipBuffer(dest, dest, outBits, g.LineLength, 1, band.LineBytes, 2);
    if (tone) ToneBytes(dest, uint32_t(g.LineLength) * 3, bitmap->PaintLUT);
    code = CommitLine(band);
  }
  if (code == kResultOk) code = FlushBand(band);
  KrnStopResize(context);
  CloseBand(band);
  if (s.UsesWork) KrnReleaseTempBitmap(&s.Work);
  return code;
}
