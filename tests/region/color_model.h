// Bitmaps of few distinct colours for the colour-region and magic-wand tests, and the colour
// of each pixel worked out from the stored bits independently of the library's pixel readers.
#pragma once
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "kernel/pixel_model.h"
#include "tests/region/rgn_model.h"

struct ColorFormat {
  int32_t Bits, Order;
  const char* Name;
};

// Palette depths, 16-bit grey (compared at 16 bits), 5-5-5 and byte channels in both orders.
inline const ColorFormat kColorFormats[] = {
    {1, 0, "1-bit"},           {2, 0, "2-bit"},        {4, 0, "4-bit"},          {8, 0, "8-bit"},
    {12, 2, "12-bit grey"},    {16, 2, "16-bit grey"}, {16, 1, "5-5-5 blue first"}, {16, 0, "5-5-5 red first"},
    {24, 1, "24 blue first"},  {24, 0, "24 red first"}, {32, 1, "32 blue first"},  {48, 1, "48 blue first"},
    {64, 0, "64 red first"},
};

struct Rgb3 {
  int32_t R, G, B;
  bool operator==(const Rgb3&) const = default;
};

// A bitmap whose pixels take a handful of stored values, so colours repeat and runs form.
struct ColorBitmap : RegionBitmap {
  std::vector<RGBQUAD> Palette;
  ColorBitmap(const ColorFormat& f, int32_t width, int32_t height, uint32_t seed, int distinct = 5) {
    std::mt19937 rng(seed);
    KrnFreeBitmap(&Record);
    Palette.resize(256);
    // Small palettes repeat entries, to tell the first matching entry from the others.
    for (size_t i = 0; i < Palette.size(); ++i) {
      const uint32_t c = rng() % 7 * 0x249249u;
      Palette[i] = RGBQUAD{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0};
    }
    EXPECT_EQ(KrnAllocateBitmap(&Record, QS_RECORD_SIZE, KRN_MEMORY_ONE_BLOCK, width, height, f.Bits, f.Order,
                                f.Bits <= 8 ? Palette.data() : nullptr, 1, nullptr, 0),
              1);
    std::vector<uint64_t> pool(static_cast<size_t>(distinct));
    for (auto& v : pool) v = uint64_t(rng()) << 32 | rng();
    std::vector<uint8_t> row(size_t(Record.BytesPerLine));
    for (int32_t y = 0; y < height; ++y) {
      for (int32_t x = 0; x < width; ++x) pixel_model::Put(row.data(), f.Bits, x, pool[rng() % pool.size()]);
      KrnPutBitmapRow(&Record, row.data(), y, 0, uint32_t(row.size()));
    }
  }

  bool Gray16() const { return Record.Order == 2 && (Record.BitsPerPixel == 12 || Record.BitsPerPixel == 16); }
  int32_t Maximum() const { return Gray16() ? 65535 : 255; }  // the largest channel value

  // The colour of stored pixel (x, y): palette entry, 16-bit grey level, or channels read by
  // the bitmap's order (5-bit fields widened to 8 bits, the high byte of 16-bit channels).
  Rgb3 Colour(int32_t x, int32_t y) const {
    std::vector<uint8_t> row(size_t(Record.BytesPerLine));
    KrnGetBitmapRow(&Record, row.data(), y, 0, uint32_t(row.size()));
    const int32_t bits = Record.BitsPerPixel;
    const uint64_t v = pixel_model::Get(row.data(), bits, x);
    if (bits <= 8) return {Palette[v].rgbRed, Palette[v].rgbGreen, Palette[v].rgbBlue};
    if (Gray16()) {
      const auto g = int32_t(v * 65535 / ((1u << bits) - 1));
      return {g, g, g};
    }
    int32_t first, second, third;
    if (bits == 16) {
      auto widen = [](uint64_t f) { return int32_t((f << 3 | f >> 2) & 0xFF); };
      first = widen(v & 31), second = widen(v >> 5 & 31), third = widen(v >> 10 & 31);
    } else {
      const int32_t step = bits >= 48 ? 16 : 8, at = bits >= 48 ? 8 : 0;
      first = int32_t(v >> at & 0xFF), second = int32_t(v >> (at + step) & 0xFF), third = int32_t(v >> (at + 2 * step) & 0xFF);
    }
    const bool blueFirst = Record.Order == 1 || Record.Order == 5;
    return blueFirst ? Rgb3{third, second, first} : Rgb3{first, second, third};
  }

  std::vector<Rgb3> Colours() const {
    std::vector<Rgb3> all;
    for (int32_t y = 0; y < Record.Height; ++y)
      for (int32_t x = 0; x < Record.Width; ++x) all.push_back(Colour(x, y));
    return all;
  }
};

inline uint32_t ColorRefOf(const Rgb3& c) { return uint32_t(c.R) | uint32_t(c.G) << 8 | uint32_t(c.B) << 16; }

// A colour argument for c: a 16-bit grey level on 16-bit grey bitmaps, else a COLORREF.
inline uint32_t ColorArgument(const ColorBitmap& b, const Rgb3& c) {
  return b.Gray16() ? 0x04000000u | uint32_t(c.R) : ColorRefOf(c);
}

// The mask of the pixels whose colour passes.
template <typename Pass>
Mask MaskWhere(const ColorBitmap& b, const std::vector<Rgb3>& colours, Pass pass) {
  Mask m;
  for (int32_t y = 0; y < b.Record.Height; ++y)
    for (int32_t x = 0; x < b.Record.Width; ++x)
      if (pass(colours[size_t(y) * b.Record.Width + x], x, y)) m.Set(x, y);
  return m;
}

// The region a call left on the bitmap, compared with the expected mask.
inline std::string RegionDiff(const BitmapRecord& b, const Mask& expected) {
  if (b.Region == nullptr) return "no region";
  if (!RgnIsWellFormed(*b.Region)) return "malformed region";
  return MaskDiff(expected, *b.Region);
}
