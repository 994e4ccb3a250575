// The dither kernel family as a table: the selector looks a pair up here, and the tests run every
// row against the reference model, so no member exists untested.
#include "paint/dither_table.h"

#include <array>

#include "frame/thread_state.h"
#include "paint/dither_kernels.h"
#include "paint/display_mode_bits.h"

namespace {
constexpr DitherMethod kDiffuse = DitherMethod::kDiffuse;
constexpr DitherMethod kOrdered = DitherMethod::kOrdered;

// A 1-bit source has no kernel to 1 or 4 bits; destinations other than 1, 4 and 8 bits have
// none at all (the caller then does not dither).
constexpr std::array<DitherKernelRow, 80> kDitherRows = {{
    // src, dst, method,  kernel
    { 2, 1, kDiffuse, DitherRowDiffuse<ReadPacked<2>, To1Bit>},
    { 3, 1, kDiffuse, DitherRowDiffuse<ReadPacked<3>, To1Bit>},
    { 4, 1, kDiffuse, DitherRowDiffuse<ReadPacked<4>, To1Bit>},
    { 5, 1, kDiffuse, DitherRowDiffuse<ReadPacked<5>, To1Bit>},
    { 6, 1, kDiffuse, DitherRowDiffuse<ReadPacked<6>, To1Bit>},
    { 7, 1, kDiffuse, DitherRowDiffuse<ReadPacked<7>, To1Bit>},
    { 8, 1, kDiffuse, DitherRowDiffuse<ReadPacked<8>, To1Bit>},
    {12, 1, kDiffuse, DitherRowDiffuse<ReadGray12, To1Bit>},
    {16, 1, kDiffuse, DitherRowDiffuse<ReadRgb16, To1Bit>},
    {24, 1, kDiffuse, DitherRowDiffuse<ReadRgb24, To1Bit>},
    {32, 1, kDiffuse, DitherRowDiffuse<ReadRgb32, To1Bit>},
    {48, 1, kDiffuse, DitherRowDiffuse<ReadRgb48, To1Bit>},
    {64, 1, kDiffuse, DitherRowDiffuse<ReadRgb64, To1Bit>},
    { 2, 1, kOrdered, DitherRowOrdered<ReadPacked<2>, To1Bit>},
    { 3, 1, kOrdered, DitherRowOrdered<ReadPacked<3>, To1Bit>},
    { 4, 1, kOrdered, DitherRowOrdered<ReadPacked<4>, To1Bit>},
    { 5, 1, kOrdered, DitherRowOrdered<ReadPacked<5>, To1Bit>},
    { 6, 1, kOrdered, DitherRowOrdered<ReadPacked<6>, To1Bit>},
    { 7, 1, kOrdered, DitherRowOrdered<ReadPacked<7>, To1Bit>},
    { 8, 1, kOrdered, DitherRowOrdered<ReadPacked<8>, To1Bit>},
    {12, 1, kOrdered, DitherRowOrdered<ReadGray12, To1Bit>},
    {16, 1, kOrdered, DitherRowOrdered<ReadRgb16, To1Bit>},
    {24, 1, kOrdered, DitherRowOrdered<ReadRgb24, To1Bit>},
    {32, 1, kOrdered, DitherRowOrdered<ReadRgb32, To1Bit>},
    {48, 1, kOrdered, DitherRowOrdered<ReadRgb48, To1Bit>},
    {64, 1, kOrdered, DitherRowOrdered<ReadRgb64, To1Bit>},
    { 2, 4, kDiffuse, DitherRowDiffuse<ReadPacked<2>, To4Bit>},
    { 3, 4, kDiffuse, DitherRowDiffuse<ReadPacked<3>, To4Bit>},
    { 4, 4, kDiffuse, DitherRowDiffuse<ReadPacked<4>, To4Bit>},
    { 5, 4, kDiffuse, DitherRowDiffuse<ReadPacked<5>, To4Bit>},
    { 6, 4, kDiffuse, DitherRowDiffuse<ReadPacked<6>, To4Bit>},
    { 7, 4, kDiffuse, DitherRowDiffuse<ReadPacked<7>, To4Bit>},
    { 8, 4, kDiffuse, DitherRowDiffuse<ReadPacked<8>, To4Bit>},
    {12, 4, kDiffuse, DitherRowDiffuse<ReadGray12, To4Bit>},
    {16, 4, kDiffuse, DitherRowDiffuse<ReadRgb16, To4Bit>},
    {24, 4, kDiffuse, DitherRowDiffuse<ReadRgb24, To4Bit>},
    {32, 4, kDiffuse, DitherRowDiffuse<ReadRgb32, To4Bit>},
    {48, 4, kDiffuse, DitherRowDiffuse<ReadRgb48, To4Bit>},
    {64, 4, kDiffuse, DitherRowDiffuse<ReadRgb64, To4Bit>},
    { 2, 4, kOrdered, DitherRowOrdered<ReadPacked<2>, To4Bit>},
    { 3, 4, kOrdered, DitherRowOrdered<ReadPacked<3>, To4Bit>},
    { 4, 4, kOrdered, DitherRowOrdered<ReadPacked<4>, To4Bit>},
    { 5, 4, kOrdered, DitherRowOrdered<ReadPacked<5>, To4Bit>},
    { 6, 4, kOrdered, DitherRowOrdered<ReadPacked<6>, To4Bit>},
    { 7, 4, kOrdered, DitherRowOrdered<ReadPacked<7>, To4Bit>},
    { 8, 4, kOrdered, DitherRowOrdered<ReadPacked<8>, To4Bit>},
    {12, 4, kOrdered, DitherRowOrdered<ReadGray12, To4Bit>},
    {16, 4, kOrdered, DitherRowOrdered<ReadRgb16, To4Bit>},
    {24, 4, kOrdered, DitherRowOrdered<ReadRgb24, To4Bit>},
    {32, 4, kOrdered, DitherRowOrdered<ReadRgb32, To4Bit>},
    {48, 4, kOrdered, DitherRowOrdered<ReadRgb48, To4Bit>},
    {64, 4, kOrdered, DitherRowOrdered<ReadRgb64, To4Bit>},
    { 1, 8, kDiffuse, DitherRowDiffuse<ReadPacked<1>, To8Bit>},
    { 2, 8, kDiffuse, DitherRowDiffuse<ReadPacked<2>, To8Bit>},
    { 3, 8, kDiffuse, DitherRowDiffuse<ReadPacked<3>, To8Bit>},
    { 4, 8, kDiffuse, DitherRowDiffuse<ReadPacked<4>, To8Bit>},
    { 5, 8, kDiffuse, DitherRowDiffuse<ReadPacked<5>, To8Bit>},
    { 6, 8, kDiffuse, DitherRowDiffuse<ReadPacked<6>, To8Bit>},
    { 7, 8, kDiffuse, DitherRowDiffuse<ReadPacked<7>, To8Bit>},
    { 8, 8, kDiffuse, DitherRowDiffuse<ReadPacked<8>, To8Bit>},
    {12, 8, kDiffuse, DitherRowDiffuse<ReadGray12, To8Bit>},
    {16, 8, kDiffuse, DitherRowDiffuse<ReadRgb16, To8Bit>},
    {24, 8, kDiffuse, DitherRowDiffuse<ReadRgb24, To8Bit>},
    {32, 8, kDiffuse, DitherRowDiffuse<ReadRgb32, To8Bit>},
    {48, 8, kDiffuse, DitherRowDiffuse<ReadRgb48, To8Bit>},
    {64, 8, kDiffuse, DitherRowDiffuse<ReadRgb64, To8Bit>},
    { 1, 8, kOrdered, DitherRowOrdered<ReadPacked<1>, To8Bit>},
    { 2, 8, kOrdered, DitherRowOrdered<ReadPacked<2>, To8Bit>},
    { 3, 8, kOrdered, DitherRowOrdered<ReadPacked<3>, To8Bit>},
    { 4, 8, kOrdered, DitherRowOrdered<ReadPacked<4>, To8Bit>},
    { 5, 8, kOrdered, DitherRowOrdered<ReadPacked<5>, To8Bit>},
    { 6, 8, kOrdered, DitherRowOrdered<ReadPacked<6>, To8Bit>},
    { 7, 8, kOrdered, DitherRowOrdered<ReadPacked<7>, To8Bit>},
    { 8, 8, kOrdered, DitherRowOrdered<ReadPacked<8>, To8Bit>},
    {12, 8, kOrdered, DitherRowOrdered<ReadGray12, To8Bit>},
    {16, 8, kOrdered, DitherRowOrdered<ReadRgb16, To8Bit>},
    {24, 8, kOrdered, DitherRowOrdered<ReadRgb24, To8Bit>},
    {32, 8, kOrdered, DitherRowOrdered<ReadRgb32, To8Bit>},
    {48, 8, kOrdered, DitherRowOrdered<ReadRgb48, To8Bit>},
    {64, 8, kOrdered, DitherRowOrdered<ReadRgb64, To8Bit>},
}};
static_assert(std::size(kDitherRows) == 80);
}  // namespace

std::span<const DitherKernelRow> DitherKernelRows() { return kDitherRows; }

DitherRowFn FindDitherKernel(int32_t srcBits, int32_t dstBits, DitherMethod method) {
  for (const DitherKernelRow& row : kDitherRows)
    if (row.SrcBits == srcBits && row.DstBits == dstBits && row.Method == method) return row.Kernel;
  return nullptr;
}

DitherRowFn SelectDitherRow(const BitmapRecord* bitmap, int32_t srcBits, int32_t dstBits) {
  const bool ordered = (GetThreadDisplayState()->DisplayMode & kModeOrderedDither) != 0;
  return FindDitherKernel(srcBits, dstBits, ordered ? kOrdered : kDiffuse);
}
