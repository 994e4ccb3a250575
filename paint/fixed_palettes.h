// The four constant paint palettes. The dither kernels map pixels to them by index, and the
// kernel library hands out the same tables (KrnGetFixedPalette), so there is one definition.
#pragma once
#include <array>
#include <cstdint>

#include "qsrecords.h"

namespace fixed_palettes_detail {
constexpr RGBQUAD Quad(int red, int green, int blue) {
  return RGBQUAD{static_cast<uint8_t>(blue), static_cast<uint8_t>(green), static_cast<uint8_t>(red), 0};
}
// v x 255 / levels, rounded to the nearest integer.
constexpr int Level(int v, int levels) { return (v * 255 * 2 + levels) / (2 * levels); }
}  // namespace fixed_palettes_detail

constexpr std::array<RGBQUAD, 2> FixedPalette2 = {
    fixed_palettes_detail::Quad(0, 0, 0), fixed_palettes_detail::Quad(255, 255, 255)};

// Index 0 black, 1-7 the half-intensity colours, 8 light grey, 9-15 the full-intensity colours.
constexpr std::array<RGBQUAD, 16> FixedPalette16 = [] {
  using fixed_palettes_detail::Quad;
  return std::array<RGBQUAD, 16>{
      Quad(0, 0, 0),       Quad(128, 0, 0),   Quad(0, 128, 0),   Quad(128, 128, 0),
      Quad(0, 0, 128),     Quad(128, 0, 128), Quad(0, 128, 128), Quad(128, 128, 128),
      Quad(192, 192, 192), Quad(255, 0, 0),   Quad(0, 255, 0),   Quad(255, 255, 0),
      Quad(0, 0, 255),     Quad(255, 0, 255), Quad(0, 255, 255), Quad(255, 255, 255)};
}();

// Index = red level << 5 | green level << 2 | blue level.
constexpr std::array<RGBQUAD, 256> FixedPalette332 = [] {
  using namespace fixed_palettes_detail;
  std::array<RGBQUAD, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = Quad(Level(i >> 5, 7), Level((i >> 2) & 7, 7), Level(i & 3, 3));
  return table;
}();

// Index = 36 x red level + 6 x green level + blue level, levels of 51; entries 216-255 zero.
constexpr std::array<RGBQUAD, 256> FixedPaletteCube = [] {
  using fixed_palettes_detail::Quad;
  std::array<RGBQUAD, 256> table{};
  for (int i = 0; i < 216; ++i) table[i] = Quad(51 * (i / 36), 51 * ((i / 6) % 6), 51 * (i % 6));
  return table;
}();

static_assert(FixedPalette332[0xFF].rgbRed == 255 && FixedPalette332[0x20].rgbRed == 36);
static_assert(FixedPalette332[1].rgbBlue == 85 && FixedPalette332[4].rgbGreen == 36);
static_assert(FixedPaletteCube[215].rgbRed == 255 && FixedPaletteCube[216].rgbRed == 0);
