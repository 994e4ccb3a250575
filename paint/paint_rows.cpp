#include "frame/result_codes.h"
#include "paint/paint_paths.h"

int32_t PaintAllLines(LinePainter& painter, PaintBand& band) {
  for (int32_t line = 0; line < painter.Geometry->Lines; ++line) {
    int32_t code = PaintLine(painter, line, CurrentLine(band));
    if (code != kResultOk) {
      FlushBand(band);
      return code;
    }
    code = CommitLine(band);
    if (code != kResultOk) return code;
  }
  return FlushBand(band);
}

int32_t PaintRows(const PaintDevice& device, BitmapRecord* bitmap, const PaintRowBand* rows, const PaintGeometry& g,
                  const PaintOutput& output, bool anchorAtBitmap, uint32_t mode) {
  static constexpr LineRoutine kRoutines[3] = {LineRoutine::Copy, LineRoutine::Unpack, LineRoutine::Dither};
  PaintBand band{};
  PrepareBandHeader(band, device, *bitmap, output.Kind, output.Bits, mode, false);
  LinePainter painter;
  int32_t code = OpenLinePainter(painter, bitmap, rows, g, kRoutines[output.Kind], output, anchorAtBitmap, mode);
  if (code == kResultOk) code = OpenBand(band, g, LineSkip(painter));
  if (code == kResultOk) code = PaintAllLines(painter, band);
  CloseBand(band);
  CloseLinePainter(painter);
  return code;
}
