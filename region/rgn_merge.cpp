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
  int32_t Top;
  uint32_t Rows;
  explicit RowCursor(const RgnRecord& r)
      : Table(r.RowTable), Values(reinterpret_cast<const uint8_t*>(r.Segments)), Top(r.Bounds.top),
        Rows(uint32_t(RgnRowCount(r))) {}
  RowView At(int32_t y) const {
    const uint32_t i = uint32_t(int64_t(y) - Top);  // lines above Top wrap to large indexes
    if (i >= Rows) return RowView{nullptr, 0};
    return RowView{reinterpret_cast<const int32_t*>(Values + Table[i].Offset), Table[i].Count};
  }
};

// Overlaps of every pair of segments of a and b, left to right: after each pair the segment
// that ends first moves on (both when they end together). Branches rather than selects: region
// rows repeat their patterns, and predicted branches do not chain one load to the next.
[[gnu::always_inline]] inline int32_t IntersectRow(RowView a, RowView b, int32_t* __restrict out) {
  int32_t* o = out;
  const int32_t *ap = a.Values, *ae = a.Values + a.Count, *bp = b.Values, *be = b.Values + b.Count;
  if (a.Count == 2 && b.Count == 2) {  // smooth shapes: one segment each
    o[0] = ap[0] > bp[0] ? ap[0] : bp[0];
    o[1] = ap[1] < bp[1] ? ap[1] : bp[1];
    return o[0] < o[1] ? 2 : 0;
  }
  while (ap < ae && bp < be) {
    if (ap[1] <= bp[0]) {
      ap += 2;
    } else if (bp[1] <= ap[0]) {
      bp += 2;
    } else {
      o[0] = ap[0] > bp[0] ? ap[0] : bp[0];
      o[1] = ap[1] < bp[1] ? ap[1] : bp[1];
      o += 2;
      const int32_t aEnd = ap[1], bEnd = bp[1];
      if (aEnd <= bEnd) ap += 2;
      if (bEnd <= aEnd) bp += 2;
    }
  }
  return int32_t(o - out);
}

// Each segment of a cut by the segments of b into the pieces b leaves uncovered.
[[gnu::always_inline]] inline int32_t SubtractRow(RowView a, RowView b, int32_t* __restrict out) {
  int32_t* o = out;
  const int32_t *bp = b.Values, *be = b.Values + b.Count;
  if (a.Count == 2 && b.Count == 2) {  // smooth shapes: one segment each
    const int32_t as = a.Values[0], ae = a.Values[1], bs = bp[0], bEnd = bp[1];
    if (bEnd <= as || bs >= ae) {
      o[0] = as;
      o[1] = ae;
      return 2;
    }
    if (bs > as) {
      o[0] = as;
      o[1] = bs;
      o += 2;
    }
    if (bEnd < ae) {
      o[0] = bEnd;
      o[1] = ae;
      o += 2;
    }
    return int32_t(o - out);
  }
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
[[gnu::always_inline]] inline int32_t UniteRow(RowView a, RowView b, int32_t* __restrict out) {
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
[[gnu::always_inline]] inline int32_t ExclusiveOrRow(RowView a, RowView b, int32_t* __restrict out) {
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

// Builds the record of rect line by line from the rows of a and b merged by `merge`. No merge
// gives a line more values than its two rows together, so the buffer is sized once for the
// whole result and the lines go straight into it; the row table is filled as RgnEndRow fills
// it, with the bookkeeping in locals (this loop is the combine engine's inner loop).
template <typename Merge>
int32_t MergeLines(const RgnRecord& a, const RgnRecord& b, RECT rect, Merge merge, RgnRecord** out) {
  *out = nullptr;
  if (IsEmptyRect(rect)) rect = RECT{0, 0, 0, 0};
  const uint64_t bound = uint64_t(a.SegmentBytes) + b.SegmentBytes;
  RgnBuilder builder;
  if (bound > 0x7FFFFFF0u || RgnBeginSized(builder, rect, uint32_t(bound)) != kResultOk) return kResultNoMemory;
  const RowCursor ca(a), cb(b);
  int32_t* const values = builder.Values;
  RgnRow* const table = builder.RowTable;
  uint32_t used = 0;
  int32_t index = 0, top = 0, bottom = 0, left = 0, right = 0;
  bool any = false;
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    const int32_t n = merge(ca.At(y), cb.At(y), values + used);
    if (n == 0) {
      index += any;  // lines before the first row take no entry; later ones stay {0, 0}
      continue;
    }
    const int32_t first = values[used], last = values[used + n - 1];
    if (!any) {
      any = true;
      top = y;
      left = first;
      right = last;
    } else {
      left = first < left ? first : left;
      right = last > right ? last : right;
    }
    bottom = y + 1;
    table[index++] = RgnRow{n, used * 4};
    used += uint32_t(n);
  }
  if (any) {
    RgnRecord& r = *builder.Record;
    r.Bounds = RECT{left, top, right, bottom};
    r.RowTableBytes = uint32_t(bottom - top) * sizeof(RgnRow);
    r.SegmentBytes = used * 4;
  }
  RgnFinish(builder);
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
