#include "frame/result_codes.h"
#include "qskrn.h"

// The significant bits of a deep grey pixel run from the window's low bit to its high bit. When
// there are more of them than the reader wants, the top targetBits of the window are kept.
int32_t QSAPI KrnGetGrayWindow(int32_t bitsPerPixel, int32_t targetBits, int32_t windowLowBit,
                               int32_t windowHighBit, int32_t* significantBits, uint32_t* mask,
                               int32_t* shift) {
  if ((bitsPerPixel != 12 && bitsPerPixel != 16) || significantBits == nullptr || mask == nullptr ||
      shift == nullptr)
    return kResultBadArgument;
  int32_t low = windowLowBit < 0 ? 0 : windowLowBit;
  int32_t high = windowHighBit >= bitsPerPixel ? bitsPerPixel - 1 : windowHighBit;
  if (high < low) {
    low = 0;
    high = bitsPerPixel - 1;
  }
  const int32_t target = targetBits < 1 || targetBits > bitsPerPixel ? bitsPerPixel : targetBits;
  const int32_t width = high - low + 1;
  const int32_t bits = width > target ? target : width;
  *significantBits = bits;
  *shift = high + 1 - bits;
  *mask = (1u << bits) - 1;
  return kResultOk;
}
