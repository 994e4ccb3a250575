#include <cstring>

#include "frame/result_codes.h"
#include "paint/fixed_palettes.h"
#include "qskrn.h"

namespace {
// Entries [first, first + count) that the bitmap's palette holds.
int32_t Available(const BitmapRecord* bitmap, int32_t first, int32_t count) {
  if (bitmap == nullptr || bitmap->Palette == nullptr || first < 0 || count <= 0) return 0;
  const int32_t left = bitmap->ColorCount - first;
  return left <= 0 ? 0 : (count < left ? count : left);
}

bool SameColour(const RGBQUAD& a, const RGBQUAD& b) {
  return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}
}  // namespace

int32_t QSAPI KrnGetBitmapPalette(const BitmapRecord* bitmap, int32_t first, int32_t count, RGBQUAD* buffer) {
  const int32_t n = buffer ? Available(bitmap, first, count) : 0;
  if (n > 0) std::memcpy(buffer, bitmap->Palette + first, size_t(n) * sizeof(RGBQUAD));
  return n;
}

int32_t QSAPI KrnGetBitmapColors(const BitmapRecord* bitmap, int32_t first, int32_t count, RGBQUAD* buffer) {
  return KrnGetBitmapPalette(bitmap, first, count, buffer);
}

// Stores entries into the palette, widening ColorCount when they reach past it (never past
// 1 << BitsPerPixel). Returns the entries stored.
int32_t QSAPI KrnSetBitmapColors(BitmapRecord* bitmap, int32_t first, int32_t count, const RGBQUAD* colours) {
  if (bitmap == nullptr || bitmap->Palette == nullptr || colours == nullptr || first < 0 || count <= 0) return 0;
  if (bitmap->BitsPerPixel > 8) return 0;
  const int32_t capacity = 1 << bitmap->BitsPerPixel;
  const int32_t n = first >= capacity ? 0 : (count < capacity - first ? count : capacity - first);
  if (n > 0) std::memcpy(bitmap->Palette + first, colours, size_t(n) * sizeof(RGBQUAD));
  if (first + n > bitmap->ColorCount) bitmap->ColorCount = first + n;
  return n;
}

// 1 when the palette is the grey ramp from black to white, 2 when it runs from white to black;
// deep grey data (Order 2) is grey ascending.
int32_t QSAPI KrnIsGrayscale(const BitmapRecord* bitmap) {
  if (bitmap == nullptr) return 0;
  if (bitmap->BitsPerPixel > 8) {
    if (bitmap->Order != 2) return 0;
    // Shown through its window-level table, deep grey data is grey when every colour there is.
    if ((bitmap->Flags & QS_FLAG_WINDOW_LUT) && bitmap->LUT != nullptr) {
      for (int32_t i = 0; i < bitmap->LUTLength; ++i) {
        const uint32_t c = bitmap->LUT[i];
        if ((c & 0xFF) != ((c >> 8) & 0xFF) || (c & 0xFF) != ((c >> 16) & 0xFF)) return 0;
      }
    }
    return 1;
  }
  const int32_t n = bitmap->ColorCount;
  if (bitmap->Palette == nullptr || n < 2) return 0;
  bool ascending = true, descending = true;
  for (int32_t i = 0; i < n; ++i) {
    const RGBQUAD& e = bitmap->Palette[i];
    if (e.rgbRed != e.rgbGreen || e.rgbGreen != e.rgbBlue) return 0;
    const int32_t level = i * 255 / (n - 1);
    ascending = ascending && e.rgbRed == level;
    descending = descending && e.rgbRed == 255 - level;
  }
  return ascending ? 1 : (descending ? 2 : 0);
}

int32_t QSAPI KrnComparePalette(const BitmapRecord* bitmap, const RGBQUAD* table, int32_t count) {
  if (table == nullptr || count <= 0 || Available(bitmap, 0, count) != count) return 0;
  for (int32_t i = 0; i < count; ++i)
    if (!SameColour(bitmap->Palette[i], table[i])) return 0;
  return 1;
}

RGBQUAD* QSAPI KrnGetFixedPalette(int32_t bits) {
  const RGBQUAD* source = nullptr;
  switch (bits) {
    case 1: source = FixedPalette2.data(); break;
    case 4: source = FixedPalette16.data(); break;
    case 8: source = FixedPalette332.data(); break;
    default: return nullptr;
  }
  const size_t bytes = (size_t{1} << bits) * sizeof(RGBQUAD);
  auto* copy = static_cast<RGBQUAD*>(KrnAlloc(uint32_t(bytes)));
  if (copy != nullptr) std::memcpy(copy, source, bytes);
  return copy;
}
