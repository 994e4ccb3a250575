// Every member of the dither kernel table against the reference model, and the worked values that
// pin the arithmetic.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <sstream>

#include "dither_reference.h"
#include "paint/dither_table.h"
#include "paint/row_kernels.h"
#include "paint_test_support.h"

namespace {
constexpr uint8_t kFill = 0xA5;  // destination bytes before a kernel runs: untouched ones must stay

std::vector<int32_t> OrdersFor(int bits) {
  if (bits == 12) return {2};
  if (bits == 16) return {0, 1, 2};
  if (bits >= 24) return {0, 1, 5};
  return {0};
}

std::vector<uint32_t> ModesFor(const DitherKernelRow& row) {
  if (row.DstBits == 8) return {0, 0x100};
  if (row.DstBits == 1 && row.Method == DitherMethod::kOrdered) return {0, 0x20};
  return {0};
}

enum class Tone { kIdentity, kRandom, kInverted };

void SetTone(DescribedBitmap& bitmap, Tone tone, std::mt19937& rng) {
  for (int i = 0; i < 256; ++i)
    bitmap.Tone[i] = tone == Tone::kIdentity ? uint8_t(i) : (tone == Tone::kInverted ? uint8_t(255 - i) : uint8_t(rng()));
}

// Deep grey images get a random window and, every other time, a window-level table.
void SetGreyWindow(DescribedBitmap& bitmap, std::mt19937& rng, bool withLut) {
  const int bits = bitmap.Record.BitsPerPixel;
  const int low = int(rng() % 6);
  bitmap.Record.WindowLowBit = low;
  bitmap.Record.WindowHighBit = low + 2 + int(rng() % (bits - low - 2));
  if (withLut) {
    std::vector<uint32_t> lut((size_t{1} << bits) - 7);  // shorter than the pixel range on purpose
    for (auto& c : lut) c = rng() & 0xFFFFFF;
    bitmap.UseWindowLut(std::move(lut));
  }
}

std::string Describe(const DitherKernelRow& row, int32_t order, uint32_t mode, Tone tone, int x0, int x1,
                     uint32_t seed) {
  std::ostringstream s;
  s << "src " << int(row.SrcBits) << " dst " << int(row.DstBits)
    << (row.Method == DitherMethod::kDiffuse ? " diffuse" : " ordered") << " order " << order << " mode 0x"
    << std::hex << mode << std::dec << " tone " << int(tone) << " x " << x0 << ".." << x1 << " seed " << seed;
  return s.str();
}

size_t DstBytes(int dstBits, int pixels) { return (size_t(pixels) * dstBits + 7) / 8; }

void CheckOneCase(const DitherKernelRow& row, int32_t order, uint32_t mode, Tone tone, int x0, int x1,
                  uint32_t seed) {
  SCOPED_TRACE(Describe(row, order, mode, tone, x0, x1, seed));
  std::mt19937 rng(seed);
  DescribedBitmap bitmap(row.SrcBits, order);
  SetTone(bitmap, tone, rng);
  if (row.SrcBits == 12 || (row.SrcBits == 16 && order == 2)) SetGreyWindow(bitmap, rng, seed % 2 == 0);
  std::vector<RGBQUAD> palette(256);
  for (auto& e : palette) e = RGBQUAD{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
  const size_t srcBytes = (size_t(x1) * row.SrcBits + 7) / 8;  // exactly the row: reads past it are caught
  const size_t dstBytes = DstBytes(row.DstBits, x1 - x0) + 4;
  const int column = int(rng() % 20), firstRow = int(rng() % 20);

  ModeScope scope(mode | (row.Method == DitherMethod::kOrdered ? 0x1 : 0));
  ASSERT_EQ(SelectDitherRow(&bitmap.Record, row.SrcBits, row.DstBits), row.Kernel);
  // Two consecutive rows share one error row, which starts zero-filled.
  std::vector<int32_t> errors(3 * (x1 + 2), 0), refErrors = errors;
  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<uint8_t> src = RandomBytes(rng, srcBytes);
    std::vector<uint8_t> got(dstBytes, kFill), want(dstBytes, kFill);
    const RefArgs args{&bitmap.Record, src.data(), x0, x1, column, firstRow + pass, palette.data(), mode};
    row.Kernel(got.data(), src.data(), &bitmap.Record, x0, x1, column, firstRow + pass, errors.data(),
               palette.data());
    if (row.Method == DitherMethod::kDiffuse)
      RefDiffuse(row.DstBits, args, want.data(), refErrors);
    else
      RefOrdered(row.DstBits, args, want.data());
    ASSERT_EQ(got, want) << "row " << pass;
    ASSERT_EQ(errors, refErrors) << "error row after row " << pass;
  }
}
}  // namespace

TEST(DitherKernels, EveryTableMemberMatchesTheReferenceModel) {
  uint32_t seed = 1;
  const int widths[] = {1, 2, 5, 8, 13, 64, 77};
  const int starts[] = {0, 3, 9};
  for (const DitherKernelRow& row : DitherKernelRows()) {
    for (int32_t order : OrdersFor(row.SrcBits))
      for (uint32_t mode : ModesFor(row))
        for (Tone tone : {Tone::kIdentity, Tone::kRandom, Tone::kInverted})
          for (int width : widths)
            for (int x0 : starts) {
              CheckOneCase(row, order, mode, tone, x0, x0 + width, seed++);
              if (HasFatalFailure()) return;
            }
  }
}

TEST(DitherKernels, TableHoldsEachCombinationOnceAndSelectorMissesExactlyTheListedPairs) {
  std::set<std::tuple<int, int, DitherMethod>> seen;
  for (const DitherKernelRow& row : DitherKernelRows()) {
    EXPECT_NE(row.Kernel, nullptr);
    EXPECT_TRUE(seen.insert({row.SrcBits, row.DstBits, row.Method}).second) << int(row.SrcBits);
  }
  EXPECT_EQ(seen.size(), 80u);

  DescribedBitmap bitmap(24, 0);
  const int sources[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 16, 24, 32, 48, 64, 0};
  for (uint32_t mode : {0u, 1u}) {
    ModeScope scope(mode);
    const DitherMethod method = mode ? DitherMethod::kOrdered : DitherMethod::kDiffuse;
    for (int dst : {0, 1, 2, 4, 8, 16, 24, 32}) {
      for (int src : sources) {
        const bool listed = src == 12 || src == 16 || src == 24 || src == 32 || src == 48 || src == 64 ||
                            (src >= 2 && src <= 8) || (src == 1 && dst == 8);
        const bool expected = listed && (dst == 1 || dst == 4 || dst == 8);
        const DitherRowFn fn = SelectDitherRow(&bitmap.Record, src, dst);
        EXPECT_EQ(fn != nullptr, expected) << "src " << src << " dst " << dst;
        if (fn) {
          EXPECT_EQ(fn, FindDitherKernel(src, dst, method));
        }
      }
    }
  }
}

TEST(DitherKernels, EmptyRangeWritesNothingAndLeavesTheErrorRow) {
  DescribedBitmap bitmap(24, 0);
  const uint8_t src[16] = {};
  for (const DitherKernelRow& row : DitherKernelRows()) {
    uint8_t dst[4] = {kFill, kFill, kFill, kFill};
    std::vector<int32_t> errors(30, 7);
    row.Kernel(dst, src, &bitmap.Record, 3, 3, 0, 0, errors.data(), nullptr);
    row.Kernel(dst, src, &bitmap.Record, 4, 2, 0, 0, errors.data(), nullptr);
    EXPECT_EQ(dst[0], kFill);
    EXPECT_EQ(errors, std::vector<int32_t>(30, 7));
  }
}

TEST(DitherKernels, FourBitDiffusionTurnsMidGreyWhiteAndCarriesMinus127) {
  DescribedBitmap bitmap(24, 0);
  const uint8_t src[6] = {128, 128, 128, 128, 128, 128};
  const DitherRowFn fn = FindDitherKernel(24, 4, DitherMethod::kDiffuse);
  std::vector<int32_t> errors(6, 0);
  uint8_t dst = 0;
  fn(&dst, src, &bitmap.Record, 0, 1, 0, 0, errors.data(), nullptr);
  EXPECT_EQ(dst >> 4, 15);
  EXPECT_EQ(errors, (std::vector<int32_t>{-635, -635, -635, 0, 0, 0}));  // 5/16 of -127 below

  // The right neighbour gets 7 x -127 / 16 = -55: 73 is black, whose error 73 flows on.
  std::fill(errors.begin(), errors.end(), 0);
  fn(&dst, src, &bitmap.Record, 0, 2, 0, 0, errors.data(), nullptr);
  EXPECT_EQ(dst, 0xF0);
  EXPECT_EQ(errors, (std::vector<int32_t>{-635 + 3 * 73, -635 + 219, -635 + 219, -127 + 5 * 73, 238, 238}));
}

TEST(DitherKernels, OrderedCubeClampsWhiteAtTheLargestOffset) {
  DescribedBitmap bitmap(24, 0);
  const uint8_t white[3] = {255, 255, 255};
  ModeScope scope(0x101);
  uint8_t dst = 0;
  // BayerMatrix[7][0] = 248: offset 248 / 6 - 21 = +20.
  FindDitherKernel(24, 8, DitherMethod::kOrdered)(&dst, white, &bitmap.Record, 0, 1, 0, 7, nullptr, nullptr);
  EXPECT_EQ(dst, 215);
}

TEST(DitherKernels, SixteenBitFieldsFollowOrder) {
  const uint8_t pixel[2] = {0x1F, 0x00};
  const DitherRowFn fn = FindDitherKernel(16, 8, DitherMethod::kDiffuse);
  for (auto [order, expected] : {std::pair{0, 0xE0}, std::pair{1, 0x03}, std::pair{5, 0x03}, std::pair{3, 0xE0}}) {
    DescribedBitmap bitmap(16, order);
    std::vector<int32_t> errors(3, 0);
    uint8_t dst = 0;
    fn(&dst, pixel, &bitmap.Record, 0, 1, 0, 0, errors.data(), nullptr);
    EXPECT_EQ(dst, expected) << "order " << order;  // (255, 0, 0) is 0xE0, (0, 0, 255) is 3
  }
}

TEST(DitherKernels, OneBitRowEndingMidByteKeepsTheOtherBits) {
  DescribedBitmap bitmap(8, 0);
  std::vector<RGBQUAD> palette(256, RGBQUAD{255, 255, 255, 0});
  const uint8_t src[11] = {};
  for (DitherMethod method : {DitherMethod::kDiffuse, DitherMethod::kOrdered}) {
    uint8_t dst[3] = {0x00, 0x15, 0x77};
    std::vector<int32_t> errors(33, 0);
    FindDitherKernel(8, 1, method)(dst, src, &bitmap.Record, 0, 11, 0, 0, errors.data(), palette.data());
    EXPECT_EQ(dst[0], 0xFF);
    EXPECT_EQ(dst[1], 0xF5);  // three white pixels, five bits left as they were
    EXPECT_EQ(dst[2], 0x77);
  }
}
