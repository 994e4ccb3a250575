// Row merges for the combine modes. Each walks the lines of its result rectangle once with two
// cursors per line; nothing is sorted or searched.
#include "region/rgn_merge.h"

#include <cstring>

#include "frame/result_codes.h"
#include "region/rgn_builder.h"
#include "region/rgn_record.h"
#include "region/rgn_validate.h"

namespace {
struct RowView {
  const int32_t* Values;
  int32_t Count;
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
  // Each run starts at the lower of the two heads and absorbs every head that starts at or
  // before its end; when neither does, no later segment can, so the run is maximal.
  for (;;) {
    int32_t start, end;
    if (ap < ae && (bp == be || ap[0] <= bp[0])) {
      start = ap[0];
      end = ap[1];
      ap += 2;
    } else if (bp < be) {
      start = bp[0];
      end = bp[1];
      bp += 2;
    } else {
      return int32_t(o - out);
    }
    for (;;) {
      if (ap < ae && ap[0] <= end) {
        if (ap[1] > end) end = ap[1];
        ap += 2;
      } else if (bp < be && bp[0] <= end) {
        if (bp[1] > end) end = bp[1];
        bp += 2;
      } else {
        break;
      }
    }
    o[0] = start;
    o[1] = end;
    o += 2;
  }
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

// One operand's rows: lines Top .. Bottom-1 have entries, every other line is empty.
struct RowSource {
  const RgnRow* Table;
  const uint8_t* Values;
  int32_t Top, Bottom;
  explicit RowSource(const RgnRecord& r)
      : Table(r.RowTable), Values(reinterpret_cast<const uint8_t*>(r.Segments)), Top(r.Bounds.top),
        Bottom(r.Bounds.top + RgnRowCount(r)) {}
  bool Covers(int32_t y) const { return y >= Top && y < Bottom; }
  RowView Row(const RgnRow& row) const {
    return RowView{reinterpret_cast<const int32_t*>(Values + row.Offset), row.Count};
  }
};

// Where the merged lines go: values from Base, one table entry per line, and the running
// left and right ends of the result.
struct LineSink {
  int32_t* Base;
  int32_t* Out;
  RgnRow* Table;
  int32_t Left, Right;
};

// Merges `lines` lines over which each operand is present (HasA, HasB) or absent throughout,
// so the loop neither tests boxes nor indexes by line. Every line gets an entry; empty ones
// are {0, 0}. This is the combine engine's inner loop.
template <bool HasA, bool HasB, typename Merge>
void MergeStretch(LineSink& sink, const RowSource& a, const RgnRow* ra, const RowSource& b, const RgnRow* rb,
                  int32_t lines, Merge merge) {
  int32_t* o = sink.Out;
  int32_t* const base = sink.Base;
  RgnRow* const table = sink.Table;
  int32_t left = sink.Left, right = sink.Right;
  for (int32_t i = 0; i < lines; ++i) {
    const RowView x = HasA ? a.Row(ra[i]) : RowView{nullptr, 0};
    const RowView y = HasB ? b.Row(rb[i]) : RowView{nullptr, 0};
    const int32_t n = merge(x, y, o);
    table[i] = RgnRow{n, n ? uint32_t(o - base) * 4 : 0};
    if (n) {
      left = o[0] < left ? o[0] : left;
      right = o[n - 1] > right ? o[n - 1] : right;
      o += n;
    }
  }
  sink.Out = o;
  sink.Table = table + lines;
  sink.Left = left;
  sink.Right = right;
}

// Builds the record of rect line by line from the rows of a and b merged by `merge`. No merge
// gives a line more values than its two rows together, so the buffer is sized once for the
// whole result and the lines go straight into it. The lines are walked in stretches bounded
// by the operands' top and bottom edges; leading and trailing empty lines are dropped at the end.
template <typename Merge>
int32_t MergeLines(const RgnRecord& a, const RgnRecord& b, RECT rect, Merge merge, RgnRecord** out) {
  *out = nullptr;
  if (IsEmptyRect(rect)) rect = RECT{0, 0, 0, 0};
  const uint64_t bound = uint64_t(a.SegmentBytes) + b.SegmentBytes;
  RgnBuilder builder;
  if (bound > 0x7FFFFFF0u || RgnBeginSized(builder, rect, uint32_t(bound)) != kResultOk) return kResultNoMemory;
  const RowSource sa(a), sb(b);
  LineSink sink{builder.Values, builder.Values, builder.RowTable, INT32_MAX, INT32_MIN};
  for (int32_t y = rect.top; y < rect.bottom;) {
    int32_t end = rect.bottom;
    for (const int32_t edge : {sa.Top, sa.Bottom, sb.Top, sb.Bottom})
      if (edge > y && edge < end) end = edge;
    const bool hasA = sa.Covers(y), hasB = sb.Covers(y);
    const RgnRow* ra = hasA ? sa.Table + (y - sa.Top) : nullptr;
    const RgnRow* rb = hasB ? sb.Table + (y - sb.Top) : nullptr;
    const int32_t lines = end - y;
    if (hasA && hasB) {
      MergeStretch<true, true>(sink, sa, ra, sb, rb, lines, merge);
    } else if (hasA) {
      MergeStretch<true, false>(sink, sa, ra, sb, rb, lines, merge);
    } else if (hasB) {
      MergeStretch<false, true>(sink, sa, ra, sb, rb, lines, merge);
    } else {
      MergeStretch<false, false>(sink, sa, ra, sb, rb, lines, merge);
    }
    y = end;
  }
  RgnRecord& r = *builder.Record;
  const int32_t lines = int32_t(sink.Table - builder.RowTable);
  int32_t first = 0, last = lines - 1;
  while (first < lines && builder.RowTable[first].Count == 0) ++first;
  while (last > first && builder.RowTable[last].Count == 0) --last;
  if (first < lines) {
    if (first > 0) std::memmove(builder.RowTable, builder.RowTable + first, size_t(last - first + 1) * sizeof(RgnRow));
    r.Bounds = RECT{sink.Left, rect.top + first, sink.Right, rect.top + last + 1};
    r.RowTableBytes = uint32_t(last - first + 1) * sizeof(RgnRow);
    r.SegmentBytes = uint32_t(sink.Out - sink.Base) * 4;
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
