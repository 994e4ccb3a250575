// The table of the 80 dither kernels and its lookup.
#pragma once
#include <cstdint>
#include <span>

#include "paint/row_kernels.h"

enum class DitherMethod : uint8_t { kDiffuse, kOrdered };

struct DitherKernelRow {
  int8_t SrcBits;
  int8_t DstBits;
  DitherMethod Method;
  DitherRowFn Kernel;
};

// Every (source depth, destination depth, method) that has a kernel, each once.
std::span<const DitherKernelRow> DitherKernelRows();
// The kernel of one combination, or null when it has none.
DitherRowFn FindDitherKernel(int32_t srcBits, int32_t dstBits, DitherMethod method);
