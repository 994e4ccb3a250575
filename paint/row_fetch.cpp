// Row fetchers and the byte offset of a pixel.
#include <cstring>

#include "frame/result_codes.h"
#include "paint/row_kernels.h"
#include "qskrn.h"

uint32_t PixelByteOffset(int32_t bitsPerPixel, int32_t x) {
  const uint64_t ux = static_cast<uint32_t>(x);
  switch (bitsPerPixel) {
    case 1: return uint32_t(ux >> 3);
    case 2: return uint32_t(ux >> 2);
    case 3: return uint32_t((3 * ux) >> 3);
    case 4: return uint32_t(ux >> 1);
    case 5: return uint32_t((5 * ux) >> 3);
    case 6: return uint32_t((3 * ux) >> 2);
    case 7: return uint32_t((7 * ux) >> 3);
    case 12: return uint32_t(ux + (ux >> 1));
    case 16: return uint32_t(2 * ux);
    case 24: return uint32_t(3 * ux);
    case 32: return uint32_t(4 * ux);
    case 48: return uint32_t(6 * ux);
    case 64: return uint32_t(8 * ux);
    default: return uint32_t(ux);
  }
}

namespace {
int32_t ClampIndex(int32_t v, int32_t count) { return v < 0 ? 0 : (v >= count ? count - 1 : v); }

// Shifts `bytes` bytes left by s bits as one bit string: each byte takes its low bits from the
// top of the next one; the last byte is shifted alone.
void ShiftRowLeft(uint8_t* row, uint32_t bytes, int32_t s) {
  if (bytes == 0) return;
  for (uint32_t i = 0; i + 1 < bytes; ++i) row[i] = uint8_t((row[i] << s) | (row[i + 1] >> (8 - s)));
  row[bytes - 1] = uint8_t(row[bytes - 1] << s);
}
}  // namespace

int32_t QSAPI FetchBandRow(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column, uint32_t bytes,
                           const void* context) {
  if (context == nullptr) return kResultBadArgument;
  const auto& band = *static_cast<const BandFetchContext*>(context);
  if (band.Band == nullptr || band.RowCount <= 0) return kResultBadArgument;
  const int32_t index = row < band.FirstRow ? 0 : ClampIndex(row - band.FirstRow, band.RowCount);
  const uint8_t* source = band.Band + size_t(index) * uint32_t(bitmap->BytesPerLine) +
                          uint32_t((uint64_t(uint32_t(bitmap->BitsPerPixel)) * uint32_t(column)) / 8);
  std::memcpy(buffer, source, bytes);
  return kResultOk;
}

int32_t QSAPI FetchBitmapRow(const BitmapRecord* bitmap, void* buffer, int32_t row, int32_t column, uint32_t bytes,
                             const void* context) {
  if (context == nullptr) return kResultBadArgument;
  const auto& fetch = *static_cast<const BitmapFetchContext*>(context);
  const BitmapRecord* source = fetch.Bitmap != nullptr ? fetch.Bitmap : bitmap;
  const int32_t y = ClampIndex(row + fetch.RowOffset, source->Height);
  const int32_t x = ClampIndex(column + fetch.ColumnOffset, source->Width);
  const uint32_t offset = PixelByteOffset(source->BitsPerPixel, x);
  const uint32_t stride = uint32_t(source->BytesPerLine);
  const uint32_t available = stride > offset ? stride - offset : 0;
  if (bytes > available) bytes = available;
  if (fetch.Callback != nullptr) {
    const int32_t code = fetch.Callback(source, buffer, y, x, bytes, fetch.User);
    if (code != kResultOk) return code;
  } else if (KrnGetBitmapRow(source, buffer, y, x, bytes) != int32_t(bytes)) {
    return kResultShortRead;
  }
  const int32_t shift = fetch.BitShift & 7;
  if (shift != 0) ShiftRowLeft(static_cast<uint8_t*>(buffer), bytes, shift);
  return kResultOk;
}
