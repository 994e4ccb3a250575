// Source-pixel readers of the dither kernels, one per source depth. Each reader type has a
// With(bitmap, palette, f) that settles the per-row facts (colour order, grey window, window-level
// table) once and calls f with a concrete reader whose Read(row, x) returns the pixel as red,
// green, blue; the per-pixel read then has no depth or order tests.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

#include "qskrn.h"
#include "qsrecords.h"

struct Rgb {
  int32_t r, g, b;
};

// The grey level of a colour, with the paint engine's weights (2 : 5 : 1).
inline int32_t GrayOf(int32_t r, int32_t g, int32_t b) { return (2 * r + 5 * g + b + 4) >> 3; }

// ---- 1 to 8 bits: a palette index, packed most significant bit first --------------------------
template <int Bits>
inline uint32_t ReadPackedIndex(const uint8_t* row, int32_t x) {
  static_assert(Bits >= 1 && Bits <= 8);
  constexpr uint32_t kMask = (1u << Bits) - 1;
  if constexpr (Bits == 8) {
    return row[x];
  } else if constexpr (8 % Bits == 0) {
    const uint32_t bit = uint32_t(x) * Bits;
    return (row[bit >> 3] >> (8 - Bits - (bit & 7))) & kMask;
  } else {
    // 3, 5, 6 and 7-bit values may straddle two bytes; the second is read only when they do.
    const uint32_t bit = uint32_t(x) * Bits;
    const uint8_t* p = row + (bit >> 3);
    const uint32_t offset = bit & 7;
    if (offset + Bits <= 8) return (p[0] >> (8 - Bits - offset)) & kMask;
    return (((uint32_t(p[0]) << 8) | p[1]) >> (16 - Bits - offset)) & kMask;
  }
}

// The grey ramp used when a palette source comes without its palette.
template <int Bits>
constexpr std::array<RGBQUAD, (1 << Bits)> kGrayRamp = [] {
  std::array<RGBQUAD, (1 << Bits)> ramp{};
  for (int i = 0; i < (1 << Bits); ++i) {
    const auto v = static_cast<uint8_t>(i * 255 / ((1 << Bits) - 1));
    ramp[i] = RGBQUAD{v, v, v, 0};
  }
  return ramp;
}();

template <int Bits>
struct ReadPacked {
  const RGBQUAD* Palette;
  Rgb Read(const uint8_t* row, int32_t x) const {
    const RGBQUAD& e = Palette[ReadPackedIndex<Bits>(row, x)];
    return {e.rgbRed, e.rgbGreen, e.rgbBlue};
  }
  template <class F>
  static void With(const BitmapRecord&, const RGBQUAD* palette, F&& f) {
    f(ReadPacked{palette != nullptr ? palette : kGrayRamp<Bits>.data()});
  }
};

// ---- 12 and 16-bit grey, windowed ------------------------------------------------------------
// The window of significant bits: v = (pixel >> Shift) & Mask holds Bits bits. The reader wants
// the pixel depth when a window-level LUT indexes v, else 8 bits.
struct GrayWindow {
  int32_t Bits;
  uint32_t Mask;
  int32_t Shift;
};

inline GrayWindow GetGrayWindow(const BitmapRecord& bitmap) {
  GrayWindow w{8, 0xFF, 0};
  const int32_t target = bitmap.LUT != nullptr ? bitmap.BitsPerPixel : 8;
  KrnGetGrayWindow(bitmap.BitsPerPixel, target, bitmap.WindowLowBit, bitmap.WindowHighBit, &w.Bits, &w.Mask,
                   &w.Shift);
  return w;
}

// The raw grey value: 12 bits keep two pixels in three bytes (the even one in the low 12 bits of
// the little-endian word at its offset, the odd one in the high 12 bits of the word one byte on).
template <int Bits>
inline uint32_t ReadGrayRaw(const uint8_t* row, int32_t x) {
  if constexpr (Bits == 12) {
    const uint8_t* p = row + uint32_t(x) + (uint32_t(x) >> 1);
    const uint32_t word = p[0] | (uint32_t(p[1]) << 8);
    return (x & 1) ? word >> 4 : word & 0xFFF;
  } else {
    const uint8_t* p = row + 2 * uint32_t(x);
    return p[0] | (uint32_t(p[1]) << 8);
  }
}

// The window-level colour of v (byte 0 blue, 1 green, 2 red); values past the table's end take
// its last entry.
inline Rgb LutColor(const uint32_t* lut, uint32_t last, uint32_t v) {
  const uint32_t c = lut[v < last ? v : last];
  return {int32_t((c >> 16) & 0xFF), int32_t((c >> 8) & 0xFF), int32_t(c & 0xFF)};
}

template <int Bits, bool kWithLut>
struct ReadGrayWindowed {
  GrayWindow Window;
  int32_t Widen;  // 8 - significant bits when fewer than 8 (no window-level table)
  const uint32_t* Lut;
  uint32_t LutLast;
  Rgb Read(const uint8_t* row, int32_t x) const {
    const uint32_t v = (ReadGrayRaw<Bits>(row, x) >> Window.Shift) & Window.Mask;
    if constexpr (kWithLut) {
      return LutColor(Lut, LutLast, v);
    } else {
      const int32_t g = int32_t((v << Widen) & 0xFF);
      return {g, g, g};
    }
  }
};

template <int Bits, class F>
inline void WithGrayReader(const BitmapRecord& bitmap, F&& f) {
  const GrayWindow w = GetGrayWindow(bitmap);
  const int32_t widen = w.Bits < 8 ? 8 - w.Bits : 0;
  if (bitmap.LUT != nullptr) {
    const uint32_t last = bitmap.LUTLength > 0 ? uint32_t(bitmap.LUTLength - 1) : 0;
    f(ReadGrayWindowed<Bits, true>{w, widen, bitmap.LUT, last});
  } else {
    f(ReadGrayWindowed<Bits, false>{w, widen, nullptr, 0});
  }
}

// A 12-bit bitmap is always grey.
struct ReadGray12 {
  template <class F>
  static void With(const BitmapRecord& bitmap, const RGBQUAD*, F&& f) {
    WithGrayReader<12>(bitmap, f);
  }
};

// ---- colour order -------------------------------------------------------------------------------
// Orders 1 and 5 store blue first; every other order red first.
inline bool StoresBlueFirst(const BitmapRecord& bitmap) { return bitmap.Order == 1 || bitmap.Order == 5; }

template <bool kBlueFirst>
inline Rgb Ordered(int32_t first, int32_t second, int32_t third) {
  if constexpr (kBlueFirst)
    return {third, second, first};
  else
    return {first, second, third};
}

// ---- 16 bits: grey (Order 2) or 5-5-5 --------------------------------------------------------
inline int32_t Widen5(uint32_t v) { return int32_t((v << 3) | (v >> 2)); }

template <bool kBlueFirst>
struct Read555 {
  Rgb Read(const uint8_t* row, int32_t x) const {
    const uint8_t* p = row + 2 * uint32_t(x);
    const uint32_t v = p[0] | (uint32_t(p[1]) << 8);
    return Ordered<kBlueFirst>(Widen5(v & 31), Widen5((v >> 5) & 31), Widen5((v >> 10) & 31));
  }
};

struct ReadRgb16 {
  template <class F>
  static void With(const BitmapRecord& bitmap, const RGBQUAD*, F&& f) {
    if (bitmap.Order == 2)
      WithGrayReader<16>(bitmap, f);
    else if (StoresBlueFirst(bitmap))
      f(Read555<true>{});
    else
      f(Read555<false>{});
  }
};

// ---- 24 to 64 bits: bytes 0, 1, 2 (24, 32) or the high bytes 1, 3, 5 (48, 64) -----------------
template <int Bytes, bool kBlueFirst>
struct ReadChannels {
  static constexpr int kStep = Bytes >= 6 ? 2 : 1;  // 16-bit channels: the high byte of each
  static constexpr int kFirst = Bytes >= 6 ? 1 : 0;
  Rgb Read(const uint8_t* row, int32_t x) const {
    const uint8_t* p = row + size_t(uint32_t(x)) * Bytes + kFirst;
    return Ordered<kBlueFirst>(p[0], p[kStep], p[2 * kStep]);
  }
};

template <int Bytes>
struct ReadRgbBytes {
  template <class F>
  static void With(const BitmapRecord& bitmap, const RGBQUAD*, F&& f) {
    if (StoresBlueFirst(bitmap))
      f(ReadChannels<Bytes, true>{});
    else
      f(ReadChannels<Bytes, false>{});
  }
};

using ReadRgb24 = ReadRgbBytes<3>;
using ReadRgb32 = ReadRgbBytes<4>;
using ReadRgb48 = ReadRgbBytes<6>;
using ReadRgb64 = ReadRgbBytes<8>;
