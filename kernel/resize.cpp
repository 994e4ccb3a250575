// The resampling sequence: separable filtering of a source bitmap (or a row source standing in
// for one) to an output size, one output row per call, in any order.
#include <cstring>
#include <new>

#include "frame/result_codes.h"
#include "kernel/pixel_format.h"
#include "kernel/resize_context.h"

namespace {
constexpr int32_t kMaxSlots = 16;
constexpr uint32_t kKnownOptions = KRN_RESIZE_SMOOTH | KRN_RESIZE_SHARP | KRN_RESIZE_BGR | KRN_RESIZE_DITHER |
                                   KRN_RESIZE_ORDERED | KRN_RESIZE_CUBE;

bool IsGreyPalette(const RGBQUAD* p, int32_t n) {
  for (int32_t i = 0; i < n; ++i)
    if (p[i].rgbRed != p[i].rgbGreen || p[i].rgbGreen != p[i].rgbBlue) return false;
  return true;
}

// Channel layout and tables of the source.
int32_t DescribeSource(ResizeContext& c, const RGBQUAD* palette) {
  const BitmapRecord& s = *c.Source;
  const int32_t bits = s.BitsPerPixel;
  c.Channels = 3;
  if (bits <= 8) {
    const int32_t n = 1 << bits;
    const RGBQUAD* table = palette ? palette : s.Palette;
    const int32_t given = palette ? n : (s.Palette ? (s.ColorCount < n ? s.ColorCount : n) : 0);
    for (int32_t i = 0; i < n; ++i) {
      const auto level = uint8_t(i * 255 / (n - 1));
      c.Palette[i] = i < given ? table[i] : RGBQUAD{level, level, level, 0};
    }
    if (IsGreyPalette(c.Palette, n)) c.Channels = 1;
    return kResultOk;
  }
  if ((bits == 12 || bits == 16) && s.Order == 2) {
    const bool lut = s.LUT != nullptr && s.LUTLength > 0;
    int32_t significant = 0;
    const int32_t code = KrnGetGrayWindow(bits, lut ? bits : 8, s.LowBit, s.HighBit, &significant, &c.GreyMask,
                                          &c.GreyShift);
    if (code != kResultOk) return code;
    c.Lut = lut ? s.LUT : nullptr;
    c.LutLength = s.LUTLength;
    c.Channels = lut ? 3 : 1;
    return kResultOk;
  }
  const bool blueFirst = s.Order == 1 || s.Order == 5;
  c.ReverseChannels = (c.Options & KRN_RESIZE_BGR) != 0 && !blueFirst;
  return kResultOk;
}

float Widen5(uint32_t v) { return float((v << 3) | (v >> 2)); }

// Decodes source columns [first, end) of the fetched row into c.Decoded.
void DecodeRow(ResizeContext& c, int32_t first, int32_t end) {
  const BitmapRecord& s = *c.Source;
  const int32_t bits = s.BitsPerPixel;
  const uint8_t* row = c.Fetch;
  float* out = c.Decoded;
  const int32_t a = c.ReverseChannels ? 2 : 0, b = c.ReverseChannels ? 0 : 2;
  for (int32_t x = first; x < end; ++x) {
    if (bits <= 8) {
      const RGBQUAD& e = c.Palette[LoadPixel(row, bits, x)];
      if (c.Channels == 1) {
        *out++ = e.rgbRed;
      } else {
        *out++ = e.rgbBlue;
        *out++ = e.rgbGreen;
        *out++ = e.rgbRed;
      }
    } else if (c.GreyMask != 0) {
      const uint32_t v = (uint32_t(LoadPixel(row, bits, x)) >> c.GreyShift) & c.GreyMask;
      if (c.Lut) {
        const uint32_t colour = c.Lut[v < uint32_t(c.LutLength) ? v : uint32_t(c.LutLength - 1)];
        *out++ = float(colour & 0xFF);
        *out++ = float((colour >> 8) & 0xFF);
        *out++ = float((colour >> 16) & 0xFF);
      } else {
        *out++ = c.GreyMask < 255 ? float(v * 255 / c.GreyMask) : float(v & 0xFF);
      }
    } else if (bits == 16) {
      const uint32_t v = uint32_t(LoadPixel(row, bits, x));
      const float f[3] = {Widen5(v & 31), Widen5((v >> 5) & 31), Widen5((v >> 10) & 31)};
      *out++ = f[a];
      *out++ = f[1];
      *out++ = f[b];
    } else {
      const int32_t step = bits / 8, wide = bits >= 48 ? 1 : 0;  // 16-bit channels: their high byte
      const uint8_t* p = row + size_t(x) * size_t(step);
      *out++ = p[(a << wide) + wide];
      *out++ = p[(1 << wide) + wide];
      *out++ = p[(b << wide) + wide];
    }
  }
}

int32_t FetchSourceRow(ResizeContext& c, int32_t y) {
  const BitmapRecord& s = *c.Source;
  // Byte-aligned depths fetch only the needed columns; packed and 12-bit rows come whole.
  const bool aligned = s.BitsPerPixel % 8 == 0;
  const int32_t column = aligned ? c.DecodedFirst : 0;
  const uint32_t bytes = aligned ? uint32_t(c.DecodedEnd - c.DecodedFirst) * uint32_t(s.BitsPerPixel / 8)
                                 : RowPayloadBytes(s.BitsPerPixel, s.Width);
  uint8_t* target = c.Fetch + (aligned ? PixelOffsetBytes(s.BitsPerPixel, column) : 0);
  if (c.Rows != nullptr) return c.Rows(&s, target, y, column, bytes, c.RowContext);
  const int32_t got = KrnGetBitmapRow(&s, target, y, column, bytes);
  if (got < 0) return got;
  return uint32_t(got) == bytes ? kResultOk : kResultShortRead;
}

// The horizontally resampled source row y, from the ring or made now.
int32_t ResampledRow(ResizeContext& c, int32_t y, const float** row) {
  const int32_t slot = y % c.Slots;
  float* target = c.Ring + size_t(slot) * size_t(c.Capacity) * size_t(c.Channels);
  *row = target;
  if (c.SlotRow[slot] == y) return kResultOk;
  c.SlotRow[slot] = -1;
  const int32_t code = FetchSourceRow(c, y);
  if (code != kResultOk) return code;
  DecodeRow(c, c.DecodedFirst, c.DecodedEnd);
  const int32_t ch = c.Channels;
  for (int32_t i = 0; i < c.Count; ++i) {
    const int32_t o = c.Column + i;
    const float* w = c.X.Weights + c.X.Offset[o];
    const float* p = c.Decoded + size_t(c.X.First[o] - c.DecodedFirst) * ch;
    float acc[3] = {0, 0, 0};
    for (int32_t k = 0; k < c.X.Count[o]; ++k, p += ch)
      for (int32_t j = 0; j < ch; ++j) acc[j] += w[k] * p[j];
    for (int32_t j = 0; j < ch; ++j) target[i * ch + j] = acc[j];
  }
  c.SlotRow[slot] = y;
  return kResultOk;
}

// Sizes the ring and the output buffers for a run of output columns; a new run empties the ring.
int32_t PrepareColumns(ResizeContext& c, int32_t column, int32_t count) {
  if (column == c.Column && count == c.Count) return kResultOk;
  if (count > c.Capacity) {
    KrnMemFree(c.Ring);
    KrnMemFree(c.Sum);
    KrnMemFree(c.Errors);
    c.Capacity = 0;
    c.Ring = static_cast<float*>(KrnMemAlloc(uint32_t(c.Slots) * uint32_t(count) * uint32_t(c.Channels) * 4));
    c.Sum = static_cast<float*>(KrnMemAlloc(uint32_t(count) * uint32_t(c.Channels) * 4));
    c.Errors = static_cast<int32_t*>(KrnMemAllocEx(uint32_t(count) + 2, 12));
    if (!c.Ring || !c.Sum || !c.Errors) return kResultNoMemory;
    c.Capacity = count;
  }
  for (int32_t s = 0; s < c.Slots; ++s) c.SlotRow[s] = -1;
  std::memset(c.Errors, 0, (size_t(c.Capacity) + 2) * 12);
  c.Column = column;
  c.Count = count;
  c.DecodedFirst = c.X.First[column];
  c.DecodedEnd = c.X.First[column + count - 1] + c.X.Count[column + count - 1];
  for (int32_t o = column; o < column + count; ++o)
    if (c.X.First[o] + c.X.Count[o] > c.DecodedEnd) c.DecodedEnd = c.X.First[o] + c.X.Count[o];
  return kResultOk;
}

ResizeFilter FilterFor(uint32_t options, int32_t source, int32_t output) {
  if (options & KRN_RESIZE_SMOOTH) return ResizeFilter::Triangle;
  return source > output ? ResizeFilter::Area : ResizeFilter::Cubic;
}

void Release(ResizeContext* c) {
  FreeResizeAxis(c->X);
  FreeResizeAxis(c->Y);
  KrnMemFree(c->Fetch);
  KrnMemFree(c->Decoded);
  KrnMemFree(c->SlotRow);
  KrnMemFree(c->Ring);
  KrnMemFree(c->Sum);
  KrnMemFree(c->Errors);
  KrnMemFree(c);
}
}  // namespace

int32_t QSAPI KrnStartResize(const BitmapRecord* source, KrnRowSource rows, const void* rowContext, int32_t width,
                             int32_t height, int32_t outBits, const RGBQUAD* palette, uint32_t options,
                             void** context) {
  if (context == nullptr) return kResultBadArgument;
  *context = nullptr;
  if (source == nullptr) return kResultNoBitmap;
  if (source->StructSize != QS_RECORD_SIZE) return kResultBadStructSize;
  const bool oneFilter = ((options & KRN_RESIZE_SMOOTH) != 0) != ((options & KRN_RESIZE_SHARP) != 0);
  if (width <= 0 || height <= 0 || !oneFilter || (options & ~kKnownOptions) != 0 ||
      !IsSupportedDepth(source->BitsPerPixel) || source->Width <= 0 || source->Height <= 0 ||
      (outBits != 1 && outBits != 4 && outBits != 8 && outBits != 24 && outBits != 32) ||
      (rows == nullptr && (source->Flags & QS_FLAG_STORAGE) == 0))
    return kResultBadArgument;

  auto* c = static_cast<ResizeContext*>(KrnMemAllocEx(1, sizeof(ResizeContext)));
  if (c == nullptr) return kResultNoMemory;
  new (c) ResizeContext{};
  c->Source = source;
  c->Rows = rows;
  c->RowContext = rowContext;
  c->Width = width;
  c->Height = height;
  c->OutBits = outBits;
  c->Options = options;
  c->Column = -1;
  int32_t code = DescribeSource(*c, palette);
  if (code == kResultOk) code = BuildResizeAxis(c->X, source->Width, width, FilterFor(options, source->Width, width));
  if (code == kResultOk)
    code = BuildResizeAxis(c->Y, source->Height, height, FilterFor(options, source->Height, height));
  if (code == kResultOk) {
    c->Slots = c->Y.MaxCount < kMaxSlots ? c->Y.MaxCount : kMaxSlots;
    c->Fetch = static_cast<uint8_t*>(KrnMemAlloc(RowPayloadBytes(source->BitsPerPixel, source->Width) + 8));
    c->Decoded = static_cast<float*>(KrnMemAlloc(uint32_t(source->Width) * uint32_t(c->Channels) * 4));
    c->SlotRow = static_cast<int32_t*>(KrnMemAlloc(uint32_t(c->Slots) * 4));
    if (!c->Fetch || !c->Decoded || !c->SlotRow) code = kResultNoMemory;
  }
  if (code != kResultOk) {
    Release(c);
    return code;
  }
  *context = c;
  return kResultOk;
}

int32_t QSAPI KrnResizeRow(void* context, void* dest, int32_t row, int32_t column, int32_t count) {
  auto* c = static_cast<ResizeContext*>(context);
  if (c == nullptr || dest == nullptr || row < 0 || row >= c->Height || column < 0 || count <= 0 ||
      count > c->Width - column)
    return kResultBadArgument;
  int32_t code = PrepareColumns(*c, column, count);
  if (code != kResultOk) return code;
  const int32_t ch = c->Channels;
  const size_t values = size_t(count) * size_t(ch);
  std::memset(c->Sum, 0, values * sizeof(float));
  const float* w = c->Y.Weights + c->Y.Offset[row];
  for (int32_t k = 0; k < c->Y.Count[row]; ++k) {
    const float* source = nullptr;
    code = ResampledRow(*c, c->Y.First[row] + k, &source);
    if (code != kResultOk) return code;
    for (size_t i = 0; i < values; ++i) c->Sum[i] += w[k] * source[i];
  }
  WriteResizedRow(*c, static_cast<uint8_t*>(dest), row);
  return kResultOk;
}

int32_t QSAPI KrnStopResize(void* context) {
  if (context != nullptr) Release(static_cast<ResizeContext*>(context));
  return kResultOk;
}
