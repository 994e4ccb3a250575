// Quarter turns of a bitmap's region, done on the runs themselves: a half turn is a flip and a
// mirror; a quarter turn transposes rows and columns.
#include "frame/result_codes.h"
#include "qskrn.h"
#include "region/rgn_builder.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"
#include "region/rgn_validate.h"

namespace {
bool FitsInt32(int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; }

struct ScratchBlock {
  int32_t* Values = nullptr;
  ~ScratchBlock() { KrnMemFree(Values); }
};

// Pushes v onto a run of boundaries; a value equal to the last one cancels it. Fed in
// non-decreasing order, the run stays strictly increasing and describes the pixels covered an
// odd number of times.
inline void Toggle(int32_t* begin, int32_t*& end, int32_t v) {
  if (end != begin && end[-1] == v) {
    --end;
  } else {
    *end++ = v;
  }
}

// The transposed region: line x of the result holds the lines y of the source whose row covers
// column x, each y first replaced by height-1-y when flipRows is set. Column x differs from
// column x-1 only in the lines with a segment boundary at x, so each result row is the previous
// one with those lines toggled.
int32_t Transpose(const RgnRecord& source, bool flipRows, int32_t height, RgnRecord** out) {
  *out = nullptr;
  const RECT& b = source.Bounds;
  const int32_t rows = RgnRowCount(source);
  const int64_t firstLine = flipRows ? int64_t(height) - b.bottom : b.top;  // lowest new column
  const int64_t lastLine = firstLine + rows;
  if (!FitsInt32(firstLine) || !FitsInt32(lastLine)) return kResultBadArgument;

  // Boundaries bucketed by column: counts first, then the lines in ascending order.
  const uint64_t columns = uint64_t(int64_t(b.right) - b.left);
  const uint64_t events = source.SegmentBytes / 4;
  const uint64_t scratchValues = columns + 1 + 3 * events;
  if (scratchValues * 4 > 0x7FFFFFF0u) return kResultNoMemory;
  ScratchBlock scratch;
  scratch.Values = static_cast<int32_t*>(KrnMemAlloc(uint32_t(scratchValues * 4)));
  if (scratch.Values == nullptr) return kResultNoMemory;
  int32_t* start = scratch.Values;           // columns + 1 bucket starts
  int32_t* lines = start + columns + 1;      // events
  int32_t* toggles = lines + events;         // 2 * events
  for (uint64_t c = 0; c <= columns; ++c) start[c] = 0;

  auto forEachRowInLineOrder = [&](auto visit) {
    for (int32_t k = 0; k < rows; ++k) {
      const int32_t i = flipRows ? rows - 1 - k : k;
      const RgnRow& row = source.RowTable[i];
      visit(int32_t(firstLine + k), RgnRowValues(source, row), row.Count);
    }
  };
  // Boundaries at b.right only end segments; no result line lies there.
  forEachRowInLineOrder([&](int32_t, const int32_t* v, int32_t count) {
    for (int32_t k = 0; k < count; ++k)
      if (v[k] < b.right) ++start[v[k] - b.left + 1];
  });
  for (uint64_t c = 1; c <= columns; ++c) start[c] += start[c - 1];
  forEachRowInLineOrder([&](int32_t line, const int32_t* v, int32_t count) {
    for (int32_t k = 0; k < count; ++k)
      if (v[k] < b.right) lines[start[v[k] - b.left]++] = line;
  });
  // start[c] is now the end of bucket c, which is the start of bucket c + 1.

  RgnBuilder builder;
  const RECT rect{int32_t(firstLine), b.left, int32_t(lastLine), b.right};
  if (RgnBegin(builder, rect) != kResultOk) return kResultNoMemory;
  int32_t previousStart = 0, previousCount = 0;
  for (uint64_t c = 0; c < columns; ++c) {
    // Lines toggled at this column, as boundaries: an odd number of events toggles [y, y + 1).
    int32_t* togglesEnd = toggles;
    const int32_t* e = lines + (c == 0 ? 0 : start[c - 1]);
    const int32_t* eEnd = lines + start[c];
    while (e < eEnd) {
      const int32_t y = *e;
      int32_t n = 0;
      for (; e < eEnd && *e == y; ++e) ++n;
      if (n % 2 != 0) {
        Toggle(toggles, togglesEnd, y);
        Toggle(toggles, togglesEnd, y + 1);
      }
    }
    // The new row: the previous row's boundaries and the toggles merged, equal pairs cancelled.
    int32_t* rowBegin = builder.Values + builder.RowStart;
    int32_t* rowEnd = rowBegin;
    const int32_t* p = builder.Values + previousStart;
    const int32_t* pEnd = p + previousCount;
    const int32_t* t = toggles;
    while (p < pEnd || t < togglesEnd) {
      const int32_t v = (t == togglesEnd || (p < pEnd && *p <= *t)) ? *p++ : *t++;
      Toggle(rowBegin, rowEnd, v);
    }
    builder.RowCount = int32_t(rowEnd - rowBegin);
    previousStart = builder.RowStart;
    previousCount = builder.RowCount;
    if (RgnEndRow(builder) != kResultOk) return kResultNoMemory;
  }
  RgnFinish(builder);
  *out = builder.Record;
  return kResultOk;
}
}  // namespace

int32_t QSAPI RgnRotate(BitmapRecord* bitmap, int32_t width, int32_t height, int32_t angle) {
  if (bitmap == nullptr) return kResultNoBitmap;
  RgnRecord* region = bitmap->Region;
  if (region == nullptr) return kResultOk;
  if (angle != 9000 && angle != 18000 && angle != 27000) return kResultBadArgument;
  if (RgnIsEmpty(*region)) {
    RgnDropCaches(*region);
    return kResultOk;
  }
  const RECT& b = region->Bounds;
  if (angle == 18000) {
    // (x, y) -> (width-1-x, height-1-y)
    if (!FitsInt32(int64_t(height) - b.bottom) || !FitsInt32(int64_t(height) - b.top) ||
        !FitsInt32(int64_t(width) - b.right) || !FitsInt32(int64_t(width) - b.left))
      return kResultBadArgument;
    RgnFlipRows(region, height);
    return RgnMirrorRows(region, width);
  }
  RgnRecord* turned = nullptr;
  int32_t code;
  if (angle == 9000) {
    // (x, y) -> (height-1-y, x): rows flipped, then transposed.
    code = Transpose(*region, true, height, &turned);
  } else {
    // (x, y) -> (y, width-1-x): transposed, then rows flipped in the turned frame.
    code = Transpose(*region, false, height, &turned);
    if (code == kResultOk) {
      code = RgnFlipRows(turned, width);
      if (code != kResultOk) KrnFreeRgnMemory(turned);
    }
  }
  if (code != kResultOk) return code;
  RgnReplaceInPlace(*region, turned);
  RGN_ASSERT_WELL_FORMED(region);
  return kResultOk;
}
