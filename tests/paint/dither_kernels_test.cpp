// Every member of the dither kernel table against the reference model: rows of every width from
// any first pixel, with the bytes around them untouched, and the error row they pass on.
#include <gtest/gtest.h>

#include <set>

#include "dither_reference.h"
#include "paint/dither_table.h"
#include "paint/paint_model.h"
#include "paint/row_kernels.h"

namespace {
constexpr uint8_t kFill = 0xA5;  // destination bytes before a kernel runs: untouched ones must stay

std::vector<int32_t> OrdersFor(int bits) {
  if (bits == 12) return {2};
  if (bits == 16) return {0, 1, 2, 5};
  return bits >= 24 ? std::vector<int32_t>{0, 1, 5} : std::vector<int32_t>{0};
}

// The cube (0x100) matters on 8 bits, the clustered matrix (0x20) to ordered 1 bit.
std::vector<uint32_t> ModesFor(const DitherKernelRow& row) {
  if (row.DstBits == 8) return {0, 0x100};
  if (row.DstBits == 1 && row.Method == DitherMethod::kOrdered) return {0, 0x20};
  return {0};
}

enum class Tone { kIdentity, kRandom, kInverted };

void CheckOneCase(const DitherKernelRow& row, int32_t order, uint32_t mode, Tone tone, int x0, int x1, uint32_t seed) {
  SCOPED_TRACE(testing::Message() << "src " << int(row.SrcBits) << " dst " << int(row.DstBits) << " method "
                                  << int(row.Method) << " order " << order << " mode 0x" << std::hex << mode << std::dec
                                  << " tone " << int(tone) << " x " << x0 << ".." << x1);
  std::mt19937 rng(seed);
  DescribedBitmap bitmap(row.SrcBits, order);
  for (int i = 0; i < 256; ++i)
    bitmap.Tone[i] = uint8_t(tone == Tone::kIdentity ? i : tone == Tone::kInverted ? 255 - i : int(rng()));
  if (row.SrcBits == 12 || (row.SrcBits == 16 && order == 2)) {
    // A random window of deep grey and, every other time, a window-level table shorter than the
    // pixel range.
    const int low = int(rng() % 6);
    bitmap.Record.WindowLowBit = low;
    bitmap.Record.WindowHighBit = low + 2 + int(rng() % (row.SrcBits - low - 2));
    if (seed % 2 == 0) {
      std::vector<uint32_t> lut((size_t{1} << row.SrcBits) - 7);
      for (auto& c : lut) c = rng() & 0xFFFFFF;
      bitmap.UseWindowLut(std::move(lut));
    }
  }
  std::vector<RGBQUAD> palette(256);
  for (auto& e : palette) e = RGBQUAD{uint8_t(rng()), uint8_t(rng()), uint8_t(rng()), 0};
  const size_t srcBytes = (size_t(x1) * row.SrcBits + 7) / 8;  // exactly the row: reads past it are caught
  const size_t dstBytes = (size_t(x1 - x0) * row.DstBits + 7) / 8 + 4;
  const int column = int(rng() % 20), firstRow = int(rng() % 20);

  ModeScope scope(mode | (row.Method == DitherMethod::kOrdered ? 0x1 : 0));
  ASSERT_EQ(SelectDitherRow(&bitmap.Record, row.SrcBits, row.DstBits), row.Kernel);
  // Two consecutive rows share one error row, which starts zero-filled.
  std::vector<int32_t> errors(3 * (x1 + 2), 0), refErrors = errors;
  for (int pass = 0; pass < 2; ++pass) {
    const std::vector<uint8_t> src = RandomBytes(rng, srcBytes);
    std::vector<uint8_t> got(dstBytes, kFill), want(dstBytes, kFill);
    const RefArgs args{&bitmap.Record, src.data(), x0, x1, column, firstRow + pass, palette.data(), mode};
    row.Kernel(got.data(), src.data(), &bitmap.Record, x0, x1, column, firstRow + pass, errors.data(), palette.data());
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
  for (const DitherKernelRow& row : DitherKernelRows())
    for (int32_t order : OrdersFor(row.SrcBits))
      for (uint32_t mode : ModesFor(row))
        for (Tone tone : {Tone::kIdentity, Tone::kRandom, Tone::kInverted})
          for (int width : {1, 2, 5, 8, 13, 64, 77})
            for (int x0 : {0, 3, 9}) {
              CheckOneCase(row, order, mode, tone, x0, x0 + width, seed++);
              if (HasFatalFailure()) return;
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
  for (uint32_t mode : {0u, 1u}) {
    ModeScope scope(mode);
    const DitherMethod method = mode ? DitherMethod::kOrdered : DitherMethod::kDiffuse;
    for (int dst : {0, 1, 2, 4, 8, 16, 24, 32}) {
      for (int src : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 15, 16, 24, 32, 48, 64, 0}) {
        const bool listed = src == 12 || src == 16 || src == 24 || src == 32 || src == 48 || src == 64 ||
                            (src >= 2 && src <= 8) || (src == 1 && dst == 8);
        const bool expected = listed && (dst == 1 || dst == 4 || dst == 8);
        EXPECT_EQ(SelectDitherRow(&bitmap.Record, src, dst), expected ? FindDitherKernel(src, dst, method) : nullptr)
            << "src " << src << " dst " << dst;
      }
    }
  }
}

TEST(DitherKernels, EmptyRangeWritesNothingAndLeavesTheErrorRow) {
  DescribedBitmap bitmap(24, 0);
  const uint8_t src[16] = {};
  for (const DitherKernelRow& row : DitherKernelRows()) {
    std::vector<uint8_t> dst(4, kFill);
    std::vector<int32_t> errors(30, 7);
    row.Kernel(dst.data(), src, &bitmap.Record, 3, 3, 0, 0, errors.data(), nullptr);
    row.Kernel(dst.data(), src, &bitmap.Record, 4, 2, 0, 0, errors.data(), nullptr);
    EXPECT_EQ(dst, std::vector<uint8_t>(4, kFill));
    EXPECT_EQ(errors, std::vector<int32_t>(30, 7));
  }
}
