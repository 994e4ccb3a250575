// 1-bit grey bitmaps painted as 8-bit grey levels at the same size, so that the bitmap's tone
// table shapes black and white through the band's grey colour table.
#include <cstring>

#include "frame/result_codes.h"
#include "paint/paint_band.h"
#include "paint/paint_lines.h"
#include "paint/paint_mono.h"
#include "paint/paint_paths.h"

void ExpandMonoRow(uint8_t* dest, const uint8_t* source, int32_t x, int32_t n, int32_t invert) {
  const uint8_t flip = invert ? 0xFF : 0x00;
  source += x >> 3;
  const int32_t bit = x & 7;
  if (bit != 0 && n > 0) {  // the first, partial byte
    const int32_t take = 8 - bit < n ? 8 - bit : n;
    std::memcpy(dest, BitToByteTable[*source++ ^ flip].data() + bit, size_t(take));
    dest += take;
    n -= take;
  }
  for (; n >= 8; n -= 8, dest += 8) std::memcpy(dest, BitToByteTable[*source++ ^ flip].data(), 8);
  if (n > 0) std::memcpy(dest, BitToByteTable[*source ^ flip].data(), size_t(n));
}

int32_t PaintMonoGrayUnscaledTo(const PaintDevice& device, BitmapRecord* bitmap, const RECT& source,
                                const RECT& sourceClip, const RECT& dest, const RECT* destClip, int32_t invert) {
  PaintGeometry g;
  if (!PlanPaint(*bitmap, source, sourceClip, dest, destClip, g)) return kResultOk;
  const uint32_t mode = GetThreadDisplayState()->DisplayMode;
  const PaintOutput output{0, 8, nullptr, nullptr};
  LinePainter painter;
  PaintBand band{};
  PrepareBandHeader(band, device, *bitmap, 0, 8, mode, true);
  int32_t code = OpenLinePainter(painter, bitmap, nullptr, g, LineRoutine::ExpandMono, output, true, mode);
  painter.Invert = invert != 0;
  if (code == kResultOk) code = OpenBand(band, g, 0);
  if (code == kResultOk) code = PaintAllLines(painter, band);
  CloseBand(band);
  CloseLinePainter(painter);
  return code;
}
