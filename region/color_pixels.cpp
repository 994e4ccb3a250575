#include "region/color_pixels.h"

#include "frame/result_codes.h"
#include "paint/pixel_readers.h"
#include "qskrn.h"

namespace {
constexpr uint32_t kGray16Widen = 257;  // 0xFF -> 0xFFFF

Channels FromQuad(const RGBQUAD& q) { return {q.rgbRed, q.rgbGreen, q.rgbBlue}; }

template <class Reader>
void ReadRowWith(const BitmapRecord& bitmap, const uint8_t* raw, int32_t width, Channels* out) {
  Reader::With(bitmap, nullptr, [&](const auto& reader) {
    for (int32_t x = 0; x < width; ++x) {
      const Rgb c = reader.Read(raw, x);
      out[x] = Channels{c.r, c.g, c.b};
    }
  });
}

typedef void (*DeepRowFn)(const BitmapRecord&, const uint8_t*, int32_t, Channels*);

DeepRowFn FindDeepReader(int32_t bitsPerPixel) {
  switch (bitsPerPixel) {
    case 12: return ReadRowWith<ReadGray12>;
    case 16: return ReadRowWith<ReadRgb16>;
    case 24: return ReadRowWith<ReadRgb24>;
    case 32: return ReadRowWith<ReadRgb32>;
    case 48: return ReadRowWith<ReadRgb48>;
    case 64: return ReadRowWith<ReadRgb64>;
    default: return nullptr;
  }
}

template <int Bits>
void IndicesOf(const uint8_t* raw, int32_t width, uint8_t* out) {
  for (int32_t x = 0; x < width; ++x) out[x] = uint8_t(ReadPackedIndex<Bits>(raw, x));
}

void ReadIndices(int32_t bits, const uint8_t* raw, int32_t width, uint8_t* out) {
  switch (bits) {
    case 1: return IndicesOf<1>(raw, width, out);
    case 2: return IndicesOf<2>(raw, width, out);
    case 3: return IndicesOf<3>(raw, width, out);
    case 4: return IndicesOf<4>(raw, width, out);
    case 5: return IndicesOf<5>(raw, width, out);
    case 6: return IndicesOf<6>(raw, width, out);
    case 7: return IndicesOf<7>(raw, width, out);
    default: return IndicesOf<8>(raw, width, out);
  }
}

template <int Bits>
void Gray16Of(const PixelRows& rows, const uint8_t* raw, int32_t width, Channels* out) {
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t v = (ReadGrayRaw<Bits>(raw, x) >> rows.GrayShift) & rows.GrayMask;
    const int32_t g = int32_t(v * 65535u / rows.GrayMask);
    out[x] = Channels{g, g, g};
  }
}

int32_t FetchRow(PixelRows& rows, int32_t y) {
  const int32_t got = KrnGetBitmapRow(rows.Bitmap, rows.Raw, y, 0, rows.RawBytes);
  if (got < 0) return got;
  return uint32_t(got) == rows.RawBytes ? kResultOk : kResultShortRead;
}
}  // namespace

bool IsGray16Bitmap(const BitmapRecord& bitmap) {
  if (bitmap.BitsPerPixel != 12 && bitmap.BitsPerPixel != 16) return false;
  if (bitmap.LUT != nullptr && (bitmap.Flags & QS_FLAG_WINDOW_LUT) != 0) return false;
  return KrnIsGrayscale(&bitmap) != 0;
}

int32_t OpenPixelRows(PixelRows& rows, BitmapRecord& bitmap) {
  rows = PixelRows{};
  rows.Bitmap = &bitmap;
  const int32_t bits = bitmap.BitsPerPixel;
  if (bits < 1 || bits > 64 || (bits > 8 && FindDeepReader(bits) == nullptr)) return kResultBadArgument;
  if (bits <= 8) {
    rows.IndexBits = bits;
    const int32_t entries = 1 << bits;
    const int32_t copied = KrnGetBitmapPalette(&bitmap, 0, entries, rows.Palette);
    if (copied <= 0) {
      for (int32_t i = 0; i < entries; ++i) {
        const auto level = uint8_t(i * 255 / (entries - 1));
        rows.Palette[i] = RGBQUAD{level, level, level, 0};
      }
    }
  } else if (IsGray16Bitmap(bitmap)) {
    rows.Gray16 = true;
    rows.Maximum = 65535;
    int32_t significant = 0;
    KrnGetGrayWindow(bits, 16, bitmap.LowBit, bitmap.HighBit, &significant, &rows.GrayMask, &rows.GrayShift);
    if (rows.GrayMask == 0) rows.GrayMask = 1;
  }
  rows.RawBytes = bitmap.BytesPerLine;
  rows.Raw = static_cast<uint8_t*>(KrnMemAlloc(rows.RawBytes + 8));  // slack for packed reads
  if (rows.Raw == nullptr) return kResultNoMemory;
  rows.AccessToken = KrnBeginBitmapAccess(&bitmap);
  return kResultOk;
}

void ClosePixelRows(PixelRows& rows) {
  if (rows.Raw == nullptr) return;
  KrnReleaseBitmapAccess(const_cast<BitmapRecord*>(rows.Bitmap), rows.AccessToken);
  KrnMemFree(rows.Raw);
  rows.Raw = nullptr;
}

int32_t ReadIndexRow(PixelRows& rows, int32_t y, uint8_t* indices) {
  const int32_t code = FetchRow(rows, y);
  if (code != kResultOk) return code;
  ReadIndices(rows.IndexBits, rows.Raw, rows.Bitmap->Width, indices);
  return kResultOk;
}

int32_t ReadChannelRow(PixelRows& rows, int32_t y, Channels* out) {
  const int32_t code = FetchRow(rows, y);
  if (code != kResultOk) return code;
  const BitmapRecord& bitmap = *rows.Bitmap;
  const int32_t width = bitmap.Width;
  if (rows.IndexBits != 0) {
    // Indices first, into the tail of the output, then widened in place from the front.
    auto* indices = reinterpret_cast<uint8_t*>(out + width) - width;
    ReadIndices(rows.IndexBits, rows.Raw, width, indices);
    for (int32_t x = 0; x < width; ++x) out[x] = FromQuad(rows.Palette[indices[x]]);
  } else if (rows.Gray16) {
    if (bitmap.BitsPerPixel == 12)
      Gray16Of<12>(rows, rows.Raw, width, out);
    else
      Gray16Of<16>(rows, rows.Raw, width, out);
  } else {
    FindDeepReader(bitmap.BitsPerPixel)(bitmap, rows.Raw, width, out);
  }
  return kResultOk;
}

Channels DecodeColor(const PixelRows& rows, uint32_t colour) {
  if (colour & kColorGray16Flag) {
    const auto level = int32_t(rows.Gray16 ? colour & 0xFFFF : (colour >> 8) & 0xFF);
    return {level, level, level};
  }
  if (IsIndexColor(colour)) {
    if (rows.IndexBits == 0) return {0, 0, 0};
    return FromQuad(rows.Palette[colour & ((1u << rows.IndexBits) - 1)]);
  }
  Channels c{int32_t(colour & 0xFF), int32_t((colour >> 8) & 0xFF), int32_t((colour >> 16) & 0xFF)};
  if (rows.Gray16) c = {c.Red * int32_t(kGray16Widen), c.Green * int32_t(kGray16Widen), c.Blue * int32_t(kGray16Widen)};
  return c;
}
