// Destination side of the dither kernels: pixel writers and the per-channel tables that turn a
// colour into a fixed-palette index and the palette level it stands for.
#pragma once
#include <array>
#include <cstdint>

#include "paint/fixed_palettes.h"

// ---- writers: a row is written from its first byte; a partly filled last byte keeps its other
// bits. Whole bytes are assembled in a register and stored once. --------------------------------
struct Store8Bit {
  uint8_t* Out;
  void Put(uint32_t index) { *Out++ = static_cast<uint8_t>(index); }
  void Finish() {}
};

template <int Bits>
struct StorePackedBits {
  static constexpr int kPerByte = 8 / Bits;
  uint8_t* Out;
  uint32_t Pending = 0;
  int32_t Count = 0;
  void Put(uint32_t index) {
    Pending = (Pending << Bits) | index;
    if (++Count == kPerByte) {
      *Out++ = static_cast<uint8_t>(Pending);
      Pending = 0;
      Count = 0;
    }
  }
  void Finish() {
    if (Count == 0) return;
    const int32_t shift = (kPerByte - Count) * Bits;
    const auto mask = static_cast<uint8_t>(0xFF << shift);
    *Out = static_cast<uint8_t>((*Out & ~mask) | (Pending << shift));
  }
};
using Store4Bit = StorePackedBits<4>;
using Store1Bit = StorePackedBits<1>;

// ---- 8-bit palettes: every channel picks its own level ----------------------------------------
// FixedPalette332 and FixedPaletteCube are separable: an index is the sum of one contribution per
// channel, and each channel of the entry depends only on that channel's contribution.
struct ChannelStep {
  uint8_t Index;  // this channel's share of the palette index
  uint8_t Level;  // the palette's value of this channel for that share
};
struct PaletteSteps {
  std::array<ChannelStep, 256> Red, Green, Blue;
};

namespace dither_targets_detail {
template <class Share>
constexpr std::array<ChannelStep, 256> Steps(const std::array<RGBQUAD, 256>& palette, int channel, Share share) {
  std::array<ChannelStep, 256> steps{};
  for (int v = 0; v < 256; ++v) {
    const int index = share(v);
    const RGBQUAD& e = palette[index];
    steps[v] = {static_cast<uint8_t>(index), channel == 0 ? e.rgbRed : (channel == 1 ? e.rgbGreen : e.rgbBlue)};
  }
  return steps;
}

constexpr bool IsSeparable(const std::array<RGBQUAD, 256>& palette, const PaletteSteps& s) {
  for (int r = 0; r < 256; r += 3)
    for (int g = 0; g < 256; g += 5)
      for (int b = 0; b < 256; b += 7) {
        const RGBQUAD& e = palette[s.Red[r].Index + s.Green[g].Index + s.Blue[b].Index];
        if (e.rgbRed != s.Red[r].Level || e.rgbGreen != s.Green[g].Level || e.rgbBlue != s.Blue[b].Level)
          return false;
      }
  return true;
}
}  // namespace dither_targets_detail

// Index = (r & 0xE0) | ((g & 0xE0) >> 3) | (b >> 6).
constexpr PaletteSteps kSteps332 = [] {
  using dither_targets_detail::Steps;
  return PaletteSteps{Steps(FixedPalette332, 0, [](int v) { return v & 0xE0; }),
                      Steps(FixedPalette332, 1, [](int v) { return (v & 0xE0) >> 3; }),
                      Steps(FixedPalette332, 2, [](int v) { return v >> 6; })};
}();

// Index = 36 (r / 51) + 6 (g / 51) + b / 51.
constexpr PaletteSteps kStepsCube = [] {
  using dither_targets_detail::Steps;
  return PaletteSteps{Steps(FixedPaletteCube, 0, [](int v) { return 36 * (v / 51); }),
                      Steps(FixedPaletteCube, 1, [](int v) { return 6 * (v / 51); }),
                      Steps(FixedPaletteCube, 2, [](int v) { return v / 51; })};
}();

static_assert(dither_targets_detail::IsSeparable(FixedPalette332, kSteps332));
static_assert(dither_targets_detail::IsSeparable(FixedPaletteCube, kStepsCube));

// With an identity tone table, clamping and the level choice fold into one lookup by the
// unclamped channel value s (-512 .. 511, at (s + 512) & 1023): the index share and the error
// clamp(s) - level.
struct FoldedStep {
  int16_t Error;
  uint8_t Index;
};
using FoldedChannel = std::array<FoldedStep, 1024>;
struct FoldedSteps {
  FoldedChannel Red, Green, Blue;
};
inline constexpr int32_t kFoldBias = 512;

namespace dither_targets_detail {
constexpr FoldedChannel Fold(const std::array<ChannelStep, 256>& steps) {
  FoldedChannel folded{};
  for (int i = 0; i < 1024; ++i) {
    const int v = i - kFoldBias < 0 ? 0 : (i - kFoldBias > 255 ? 255 : i - kFoldBias);
    folded[i] = {static_cast<int16_t>(v - steps[v].Level), steps[v].Index};
  }
  return folded;
}
}  // namespace dither_targets_detail

constexpr FoldedSteps kFolded332 = {dither_targets_detail::Fold(kSteps332.Red),
                                           dither_targets_detail::Fold(kSteps332.Green),
                                           dither_targets_detail::Fold(kSteps332.Blue)};
constexpr FoldedSteps kFoldedCube = {dither_targets_detail::Fold(kStepsCube.Red),
                                            dither_targets_detail::Fold(kStepsCube.Green),
                                            dither_targets_detail::Fold(kStepsCube.Blue)};
