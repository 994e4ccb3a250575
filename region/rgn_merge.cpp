// Row merges for the combine modes. Each walks the lines of its result rectangle once with two
// cursors per line; nothing is sorted or searched.
#include "region/rgn_merge.h"

#include "frame/result_codes.h"
#include "region/rgn_builder.h"
#include "region/rgn_record.h"
#include "region/rgn_validate.h"

namespace {
struct RowView {
  const int32_t* Values;
  int32_t Count;
};

// Rows of one operand by line; lines outside its box are empty.
struct RowCursor {
  const RgnRow* Table;
  const uint8_t* Values;
  int32_t Top, Bottom;
  explicit RowCursor(const RgnRecord& r)
      : Table(r.RowTable), Values(reinterpret_cast<const uint8_t*>(r.Segments)), Top(r.Bounds.top),
        Bottom(r.Bounds.bottom) {}
  RowView At(int32_t y) const {
    if (y < Top || y >= Bottom) return RowView{nullptr, 0};
    const RgnRow& row = Table[y - Top];
    return RowView{reinterpret_cast<const int32_t*>(Values + row.Offset), row.Count};
  }
};

// Overlaps of every pair of segments of a and b, left to right.
int32_t IntersectRow(RowView a, RowView b, int32_t* __restrict out) {
  int32_t* o = out;
  const int32_t *ap = a.Values, *ae = a.Values + a.Count, *bp = b.Values, *be = b.Values + b.Count;
  while (ap < ae && bp < be) {
    const int32_t s = ap[0] > bp[0] ? ap[0] : bp[0];
    const int32_t e = ap[1] < bp[1] ? ap[1] : bp[1];
    o[0] = s;
    o[1] = e;
    o += s < e ? 2 : 0;
    const int32_t aEnd = ap[1], bEnd = bp[1];
    ap += aEnd <= bEnd ? 2 : 0;
    bp += bEnd <= aEnd ? 2 : 0;
  }
  return int32_t(o - out);
}

// Each segment of a cut by the segments of b into the pieces b leaves uncovered.
int32_t SubtractRow(RowView a, RowView b, int32_t* __restrict out) {
  int32_t* o = out;
  const int32_t *bp = b.Values, *be = b.Values + b.Count;
  for (const int32_t *ap = a.Values, *ae = a.Values + a.Count; ap < ae; ap += 2) {
    int32_t cur = ap[0];
    const int32_t end = ap[1];
    while (bp < be && bp[1] <= cur) bp += 2;
    for (;;) {
      if (bp == be || bp[0] >= end) {
        o[0] = cur;
        o[1] = end;
        o += 2;
        break;
      }
      if (bp[0] > cur) {
        o[0] = cur;
        o[1] = bp[0];
        o += 2;
      }
      if (bp[1] >= end) break;
      cur = bp[1];
      bp += 2;
    }
  }
  return int32_t(o - out);
}

// Segments of both rows in order of their starts, gathered into maximal runs.
int32_t UniteRow(RowView a, RowView b, int32_t* __restrict out) {
  int32_t* o = out;
  const int32_t *ap = a.Values, *ae = a.Values + a.Count, *bp = b.Values, *be = b.Values + b.Count;
  if (a.Count == 2 && b.Count == 2) {  // smooth shapes: one segment each
    const bool aFirst = ap[0] <= bp[0];
    const int32_t s0 = aFirst ? ap[0] : bp[0], e0 = aFirst ? ap[1] : bp[1];
    const int32_t s1 = aFirst ? bp[0] : ap[0], e1 = aFirst ? bp[1] : ap[1];
    if (s1 <= e0) {
      o[0] = s0;
      o[1] = e1 > e0 ? e1 : e0;
      return 2;
    }
    o[0] = s0;
    o[1] = e0;
    o[2] = s1;
    o[3] = e1;
    return 4;
  }
  if (ap == ae && bp == be) return 0;
  const int32_t* first = (bp == be || (ap < ae && ap[0] < bp[0])) ? ap : bp;
  int32_t runStart = first[0], runEnd = first[1];
  (first == ap ? ap : bp) += 2;
  while (ap < ae || bp < be) {
    const int32_t* seg;
    if (bp == be || (ap < ae && ap[0] < bp[0])) {
      seg = ap;
      ap += 2;
    } else {
      seg = bp;
      bp += 2;
    }
    if (seg[0] <= runEnd) {
      if (seg[1] > runEnd) runEnd = seg[1];
    } else {
      o[0] = runStart;
      o[1] = runEnd;
      o += 2;
      runStart = seg[0];
      runEnd = seg[1];
    }
  }
  o[0] = runStart;
  o[1] = runEnd;
  return int32_t(o - out) + 2;
}

// A pixel lies in a row when an odd number of the row's values are at or left of it; so the
// exclusive or keeps the values of both rows that occur an odd number of times. The result is
// the maximal runs of the pixels in exactly one row, as the union of the two differences.
int32_t ExclusiveOrRow(RowView a, RowView b, int32_t* __restrict out) {
  int32_t* o = out;
  const int32_t *ap = a.Values, *ae = a.Values + a.Count, *bp = b.Values, *be = b.Values + b.Count;
  while (ap < ae || bp < be) {
    int32_t v;
    if (bp == be || (ap < ae && *ap <= *bp)) {
      v = *ap++;
    } else {
      v = *bp++;
    }
    if (o != out && o[-1] == v) {
      --o;
    } else {
      *o++ = v;
    }
  }
  return int32_t(o - out);
}

bool IsEmptyRect(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

RECT IntersectRects(const RECT& a, const RECT& b) {
  return RECT{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
              a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
}

// The union of two boxes; an empty one is ignored.
RECT UniteRects(const RECT& a, const RECT& b) {
  if (IsEmptyRect(a)) return b;
  if (IsEmptyRect(b)) return a;
  return RECT{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
              a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}

// Builds the record of rect line by line from the rows of a and b merged by `merge`.
template <typename Merge>
int32_t MergeLines(const RgnRecord& a, const RgnRecord& b, RECT rect, Merge merge, RgnRecord** out) {
  *out = nullptr;
  if (IsEmptyRect(rect)) rect = RECT{0, 0, 0, 0};
  // No merge gives a line more values than its two rows together.
  const uint64_t bound = uint64_t(a.SegmentBytes) + b.SegmentBytes;
  RgnBuilder builder;
  if (RgnBeginSized(builder, rect, bound > 0x7FFFFFF0u ? 0x7FFFFFF0u : uint32_t(bound)) != kResultOk)
    return kResultNoMemory;
  // No row of the result holds more than two values per pixel of the rectangle; the
  // intersection may store one pair past its last segment.
  const int64_t widest = 2 * (int64_t(rect.right) - rect.left) + 2;
  const RowCursor ca(a), cb(b);
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    const RowView ra = ca.At(y), rb = cb.At(y);
    // Every line starts with room for MaxRowBytes; only rows with touching segments need more.
    const int64_t bound = int64_t(ra.Count) + rb.Count;
    if (uint64_t(bound) * 4 > builder.MaxRowBytes &&
        RgnReserve(builder, uint32_t(bound < widest ? bound : widest)) != kResultOk)
      return kResultNoMemory;
    builder.RowCount += merge(ra, rb, builder.Values + builder.RowStart + builder.RowCount);
    if (RgnEndRow(builder) != kResultOk) return kResultNoMemory;
  }
  RgnFinish(builder);
  RGN_ASSERT_WELL_FORMED(builder.Record);
  *out = builder.Record;
  return kResultOk;
}
}  // namespace

int32_t RgnIntersect(const RgnRecord& a, const RgnRecord& b, RgnRecord** out) {
  return MergeLines(a, b, IntersectRects(a.Bounds, b.Bounds), [](RowView x, RowView y, int32_t* o) { return IntersectRow(x, y, o); }, out);
}

int32_t RgnSubtract(const RgnRecord& a, const RgnRecord& b, RgnRecord** out) {
  return MergeLines(a, b, a.Bounds, [](RowView x, RowView y, int32_t* o) { return SubtractRow(x, y, o); }, out);
}

int32_t RgnUnite(const RgnRecord& a, const RgnRecord& b, RgnRecord** out) {
  return MergeLines(a, b, UniteRects(a.Bounds, b.Bounds), [](RowView x, RowView y, int32_t* o) { return UniteRow(x, y, o); }, out);
}

int32_t RgnExclusiveOr(const RgnRecord& a, const RgnRecord& b, RgnRecord** out) {
  return MergeLines(a, b, UniteRects(a.Bounds, b.Bounds), [](RowView x, RowView y, int32_t* o) { return ExclusiveOrRow(x, y, o); }, out);
}
