// The dither kernels: one template per method, instantiated for every (source reader,
// destination depth) pair of the selector table.
//
// Error diffusion (Floyd-Steinberg, left to right, one error row E of three i32 per pixel, red,
// green, blue, already multiplied by the sixteenths):
//
//                  x-1      x      x+1
//   this row               [x] --7--> carry into x+1 (with E[x+1] left by the row above)
//   row below     E[x-1]  E[x]   E[x+1]
//                  +3      +5     =1      (shares of err(x); E[x+1] is overwritten, the row
//                                          above's value having been taken into the carry)
//
// The row below thus gets err(x-1) + 5 err(x) + 3 err(x+1) at x. The first pixel starts from
// E[x0] alone and stores only its 5/16 there; the last adds nothing to the right or below-right.
// The loop keeps the two unfinished values of the row below in registers, so that each pixel
// reads E[x] once and writes E[x-1] once.
#pragma once
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "frame/thread_state.h"
#include "paint/dither_matrices.h"
#include "paint/dither_simd.h"
#include "paint/dither_targets.h"
#include "paint/display_mode_bits.h"
#include "paint/pixel_readers.h"
#include "qsrecords.h"

inline int32_t ClampChannel(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Tables here have internal linkage: an inline variable would become a unique symbol, which
// keeps the shared library from ever being unloaded.
constexpr std::array<uint8_t, 256> kIdentityTone = [] {
  std::array<uint8_t, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<uint8_t>(i);
  return t;
}();

inline bool IsIdentityLut(const uint8_t* lut) { return std::memcmp(lut, kIdentityTone.data(), 256) == 0; }

// ---- error-diffusion deciders: take the channel values plus carried error (not yet clamped),
// store the pixel and give the error of each channel. --------------------------------------------
struct Diffuse8Folded {  // identity tone table
  const FoldedSteps* Steps;
  Store8Bit Out;
  void Pixel(int32_t r, int32_t g, int32_t b, int32_t err[3]) {
    const FoldedStep& fr = Steps->Red[(r + kFoldBias) & 1023];
    const FoldedStep& fg = Steps->Green[(g + kFoldBias) & 1023];
    const FoldedStep& fb = Steps->Blue[(b + kFoldBias) & 1023];
    Out.Put(uint32_t(fr.Index) + fg.Index + fb.Index);
    err[0] = fr.Error, err[1] = fg.Error, err[2] = fb.Error;
  }
  void Finish() {}
};

struct Diffuse8Toned {
  const uint8_t* Lut;
  const PaletteSteps* Steps;
  Store8Bit Out;
  void Pixel(int32_t r, int32_t g, int32_t b, int32_t err[3]) {
    const int32_t lr = Lut[ClampChannel(r)], lg = Lut[ClampChannel(g)], lb = Lut[ClampChannel(b)];
    const ChannelStep sr = Steps->Red[lr], sg = Steps->Green[lg], sb = Steps->Blue[lb];
    Out.Put(uint32_t(sr.Index) + sg.Index + sb.Index);
    err[0] = lr - sr.Level, err[1] = lg - sg.Level, err[2] = lb - sb.Level;
  }
  void Finish() {}
};

// The top bit of each toned channel; black or one of the full colours 9 to 15.
struct Diffuse4 {
  const uint8_t* Lut;
  Store4Bit Out;
  void Pixel(int32_t r, int32_t g, int32_t b, int32_t err[3]) {
    const int32_t lr = Lut[ClampChannel(r)], lg = Lut[ClampChannel(g)], lb = Lut[ClampChannel(b)];
    uint32_t index = (lr >> 7) + 2 * (lg >> 7) + 4 * (lb >> 7);
    if (index != 0) index += 8;
    const RGBQUAD& p = FixedPalette16[index];
    Out.Put(index);
    err[0] = lr - p.rgbRed, err[1] = lg - p.rgbGreen, err[2] = lb - p.rgbBlue;
  }
  void Finish() { Out.Finish(); }
};

// The top bit of the toned grey; the error is taken against black or white before the table.
struct Diffuse1 {
  const uint8_t* Lut;
  Store1Bit Out;
  void Pixel(int32_t r, int32_t g, int32_t b, int32_t err[3]) {
    r = ClampChannel(r), g = ClampChannel(g), b = ClampChannel(b);
    const uint32_t index = Lut[GrayOf(r, g, b)] >> 7;
    const RGBQUAD& p = FixedPalette2[index];
    Out.Put(index);
    err[0] = r - p.rgbRed, err[1] = g - p.rgbGreen, err[2] = b - p.rgbBlue;
  }
  void Finish() { Out.Finish(); }
};

// ---- ordered deciders: take the pixel and its column phase (column & 7) ------------------------
struct Ordered8Folded {  // identity tone table
  const FoldedSteps* Steps;
  int32_t Offset[8];  // offset per column phase, plus the fold bias
  int32_t Delta[8];   // the same offsets without the bias
  bool Cube;
  Store8Bit Out;
  void Pixel(const Rgb& s, int32_t phase) {
    const int32_t d = Offset[phase];
    Out.Put(uint32_t(Steps->Red[(s.r + d) & 1023].Index) + Steps->Green[(s.g + d) & 1023].Index +
            Steps->Blue[(s.b + d) & 1023].Index);
  }
  void Finish() {}
};

struct Ordered8Toned {
  const uint8_t* Lut;
  const PaletteSteps* Steps;
  int32_t Offset[8];
  Store8Bit Out;
  void Pixel(const Rgb& s, int32_t phase) {
    const int32_t d = Offset[phase];
    Out.Put(uint32_t(Steps->Red[Lut[ClampChannel(s.r + d)]].Index) + Steps->Green[Lut[ClampChannel(s.g + d)]].Index +
            Steps->Blue[Lut[ClampChannel(s.b + d)]].Index);
  }
  void Finish() {}
};

struct Ordered4 {
  const uint8_t* Lut;
  const uint8_t* Thresholds;  // the matrix row
  Store4Bit Out;
  void Pixel(const Rgb& s, int32_t phase) {
    const int32_t t = Thresholds[phase];
    uint32_t index = uint32_t(Lut[s.r] > t) + 2 * uint32_t(Lut[s.g] > t) + 4 * uint32_t(Lut[s.b] > t);
    if (index != 0) index += 8;
    Out.Put(index);
  }
  void Finish() { Out.Finish(); }
};

struct Ordered1 {
  const uint8_t* Lut;
  const uint8_t* Thresholds;
  Store1Bit Out;
  void Pixel(const Rgb& s, int32_t phase) { Out.Put(Lut[GrayOf(s.r, s.g, s.b)] > Thresholds[phase] ? 1 : 0); }
  void Finish() { Out.Finish(); }
};

// ---- destination depths: build the decider for one row ----------------------------------------
struct To8Bit {
  template <class F>
  static void WithDiffuse(const BitmapRecord& bitmap, uint32_t mode, uint8_t* dst, F&& f) {
    const bool cube = (mode & kModeCubePalette) != 0;
    if (IsIdentityLut(bitmap.PaintLUT))
      f(Diffuse8Folded{cube ? &kFoldedCube : &kFolded332, {dst}});
    else
      f(Diffuse8Toned{bitmap.PaintLUT, cube ? &kStepsCube : &kSteps332, {dst}});
  }
  template <class F>
  static void WithOrdered(const BitmapRecord& bitmap, uint32_t mode, int32_t row, uint8_t* dst, F&& f) {
    const bool cube = (mode & kModeCubePalette) != 0;
    int32_t offset[8];
    for (int32_t i = 0; i < 8; ++i) {
      const int32_t t = BayerMatrix[row & 7][i];
      offset[i] = cube ? t / 6 - 21 : (t >> 3) - 16;
    }
    if (IsIdentityLut(bitmap.PaintLUT)) {
      Ordered8Folded target{cube ? &kFoldedCube : &kFolded332, {}, {}, cube, {dst}};
      for (int32_t i = 0; i < 8; ++i) target.Offset[i] = offset[i] + kFoldBias, target.Delta[i] = offset[i];
      f(target);
    } else {
      Ordered8Toned target{bitmap.PaintLUT, cube ? &kStepsCube : &kSteps332, {}, {dst}};
      std::memcpy(target.Offset, offset, sizeof(offset));
      f(target);
    }
  }
};

struct To4Bit {
  template <class F>
  static void WithDiffuse(const BitmapRecord& bitmap, uint32_t, uint8_t* dst, F&& f) {
    f(Diffuse4{bitmap.PaintLUT, {dst}});
  }
  template <class F>
  static void WithOrdered(const BitmapRecord& bitmap, uint32_t, int32_t row, uint8_t* dst, F&& f) {
    f(Ordered4{bitmap.PaintLUT, BayerMatrix[row & 7], {dst}});
  }
};

struct To1Bit {
  template <class F>
  static void WithDiffuse(const BitmapRecord& bitmap, uint32_t, uint8_t* dst, F&& f) {
    f(Diffuse1{bitmap.PaintLUT, {dst}});
  }
  template <class F>
  static void WithOrdered(const BitmapRecord& bitmap, uint32_t mode, int32_t row, uint8_t* dst, F&& f) {
    const auto& matrix = (mode & kModeClusterDither) ? ClusterMatrix : BayerMatrix;
    f(Ordered1{bitmap.PaintLUT, matrix[row & 7], {dst}});
  }
};

// ---- the two loops ---------------------------------------------------------------------------
template <class Reader, class Target>
void DiffuseRow(const Reader& reader, Target target, const uint8_t* src, int32_t x0, int32_t x1, int32_t* errors) {
  int32_t* e = errors + 3 * size_t(x0);
  int32_t err[3];
  Rgb s = reader.Read(src, x0);
  target.Pixel(s.r + e[0] / 16, s.g + e[1] / 16, s.b + e[2] / 16, err);
  int32_t partial[3] = {5 * err[0], 5 * err[1], 5 * err[2]};  // E[x - 1] so far
  int32_t below[3] = {err[0], err[1], err[2]};                // E[x] so far
  for (int32_t x = x0 + 1; x < x1; ++x) {
    e += 3;
    const int32_t cr = e[0] + 7 * err[0], cg = e[1] + 7 * err[1], cb = e[2] + 7 * err[2];
    s = reader.Read(src, x);
    target.Pixel(s.r + cr / 16, s.g + cg / 16, s.b + cb / 16, err);
    for (int c = 0; c < 3; ++c) {
      e[c - 3] = partial[c] + 3 * err[c];
      partial[c] = below[c] + 5 * err[c];
      below[c] = err[c];
    }
  }
  e[0] = partial[0], e[1] = partial[1], e[2] = partial[2];
  target.Finish();
}

// 24 and 32-bit readers, whose rows the SSE2 body can take.
template <class Reader>
struct RgbLayout {
  static constexpr int kBytes = 0;
  static constexpr bool kBlueFirst = false;
};
template <int Bytes, bool BlueFirst>
struct RgbLayout<ReadChannels<Bytes, BlueFirst>> {
  static constexpr int kBytes = Bytes;
  static constexpr bool kBlueFirst = BlueFirst;
};

template <class Reader, class Target>
void OrderedRow(const Reader& reader, Target target, const uint8_t* src, int32_t x0, int32_t x1, int32_t column) {
  using Layout = RgbLayout<Reader>;
  if constexpr (std::is_same_v<Target, Ordered8Folded> && (Layout::kBytes == 3 || Layout::kBytes == 4)) {
    const int32_t done = OrderedRgbTo8Sse2<Layout::kBytes, Layout::kBlueFirst>(
        target.Out.Out, src + size_t(x0) * Layout::kBytes, x1 - x0, target.Delta, column & 7, target.Cube);
    target.Out.Out += done;
    x0 += done;
    column += done;
  }
  for (int32_t x = x0; x < x1; ++x, ++column) target.Pixel(reader.Read(src, x), column & 7);
  target.Finish();
}

// ---- the kernel family: DitherRowDiffuse<ReadRgb24, To8Bit> and so on ----------------------------
template <class Source, class Dst>
void DitherRowDiffuse(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1, int32_t,
                      int32_t, int32_t* errorRow, const RGBQUAD* palette) {
  if (x0 >= x1) return;
  const uint32_t mode = GetThreadDisplayState()->DisplayMode;
  Source::With(*bitmap, palette, [&](const auto& reader) {
    Dst::WithDiffuse(*bitmap, mode, dst, [&](auto target) { DiffuseRow(reader, target, src, x0, x1, errorRow); });
  });
}

template <class Source, class Dst>
void DitherRowOrdered(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1,
                      int32_t dstColumn, int32_t dstRow, int32_t*, const RGBQUAD* palette) {
  if (x0 >= x1) return;
  const uint32_t mode = GetThreadDisplayState()->DisplayMode;
  Source::With(*bitmap, palette, [&](const auto& reader) {
    Dst::WithOrdered(*bitmap, mode, dstRow, dst,
                     [&](auto target) { OrderedRow(reader, target, src, x0, x1, dstColumn); });
  });
}
