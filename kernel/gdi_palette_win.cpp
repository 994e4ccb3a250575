#include <cstdlib>

#include "qskrn.h"

namespace {
HPALETTE MakePalette(const RGBQUAD* entries, int32_t count) {
  if (entries == nullptr || count < 1 || count > 256) return nullptr;
  // LOGPALETTE holds one entry; the block has room for all of them.
  const size_t bytes = sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * size_t(count - 1);
  auto* logical = static_cast<LOGPALETTE*>(std::malloc(bytes));
  if (logical == nullptr) return nullptr;
  logical->palVersion = 0x300;
  logical->palNumEntries = static_cast<WORD>(count);
  for (int32_t i = 0; i < count; ++i) {
    logical->palPalEntry[i].peRed = entries[i].rgbRed;
    logical->palPalEntry[i].peGreen = entries[i].rgbGreen;
    logical->palPalEntry[i].peBlue = entries[i].rgbBlue;
    logical->palPalEntry[i].peFlags = 0;
  }
  HPALETTE palette = CreatePalette(logical);
  std::free(logical);
  return palette;
}
}  // namespace

HPALETTE QSAPI KrnCreateBitmapGdiPalette(const BitmapRecord* bitmap) {
  if (bitmap == nullptr || bitmap->Palette == nullptr || bitmap->ColorCount < 1) return nullptr;
  return MakePalette(bitmap->Palette, bitmap->ColorCount > 256 ? 256 : bitmap->ColorCount);
}

HPALETTE QSAPI KrnCreateGdiPalette(const RGBQUAD* entries, int32_t count) { return MakePalette(entries, count); }

// The screen's system palette on palette devices; other screens need none.
HPALETTE QSAPI KrnCreateDefaultPalette() {
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return nullptr;
  HPALETTE palette = nullptr;
  if (GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE) {
    PALETTEENTRY system[256] = {};
    const UINT count = GetSystemPaletteEntries(screen, 0, 256, system);
    RGBQUAD entries[256];
    for (UINT i = 0; i < count && i < 256; ++i)
      entries[i] = RGBQUAD{system[i].peBlue, system[i].peGreen, system[i].peRed, 0};
    palette = MakePalette(entries, int32_t(count > 256 ? 256 : count));
  }
  ReleaseDC(nullptr, screen);
  return palette;
}
