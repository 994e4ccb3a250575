// Row-by-row construction of a new region record. Every region producer uses it:
//
//   RgnBuilder b;
//   if (RgnBegin(b, rect) != 1) return -1;           // rect: the lines and columns rows may use
//   for (int32_t y = rect.top; y < rect.bottom; ++y) {
//     RgnAppend(b, start, end);                       // ascending, disjoint, inside rect
//     if (RgnEndRow(b) != 1) return -1;               // the record is already released
//   }
//   RgnFinish(b);                                     // b.Record now belongs to the caller
//
// A producer that gives up between RgnBegin and RgnFinish calls RgnAbandon.
#pragma once
#include <cassert>
#include <cstdint>

#include "qsrecords.h"

struct RgnBuilder {
  RgnRecord* Record;      // the record being built; null after a failure
  int32_t* Values;        // current segment buffer (the record's Segments)
  int32_t RowCount;       // values appended to the current row so far
  RgnRow* RowTable;       // the record's row table
  uint32_t RowTableUsed;  // bytes of row table used; 0 until the first non-empty row ends
  uint32_t MaxRowBytes;   // most bytes one row can need
  uint32_t GrowBy;        // growth step of the segment buffer
  uint32_t Capacity;      // bytes allocated for Values
  int32_t CurrentY;       // line the current row describes
  int32_t RowIndex;       // row table index of the current row
  int32_t RowStart;       // index (in values) of the current row's first value
};

// Prepares a record whose rows will cover rect. 1, or -1 when memory runs out.
int32_t RgnBegin(RgnBuilder& builder, const RECT& rect);
// The same, with room for expectedBytes of segment values and one more full row from the start
// (Capacity >= expectedBytes + MaxRowBytes), for producers that can bound their output.
int32_t RgnBeginSized(RgnBuilder& builder, const RECT& rect, uint32_t expectedBytes);

// Appends [start, end) to the current row when start < end. Callers stay inside the rectangle
// given to RgnBegin, so a row of disjoint, non-touching segments never needs more than
// MaxRowBytes; a producer whose rows may touch reserves room first (RgnReserve).
inline void RgnAppend(RgnBuilder& builder, int32_t start, int32_t end) {
  if (start < end) {
    assert(uint32_t(builder.RowStart + builder.RowCount + 2) * 4u <= builder.Capacity);
    int32_t* at = builder.Values + builder.RowStart + builder.RowCount;
    at[0] = start;
    at[1] = end;
    builder.RowCount += 2;
  }
}

// Appends a whole row of count values (already valid segments, count even), for example a row
// copied from another record.
inline void RgnAppendValues(RgnBuilder& builder, const int32_t* values, int32_t count) {
  assert(uint32_t(builder.RowStart + builder.RowCount + count) * 4u <= builder.Capacity);
  int32_t* at = builder.Values + builder.RowStart + builder.RowCount;
  for (int32_t k = 0; k < count; ++k) at[k] = values[k];
  builder.RowCount += count;
}

int32_t RgnGrowFor(RgnBuilder& builder, uint32_t values);
// Makes sure `values` more values fit in the current row. Only rows whose segments may touch
// can need more than MaxRowBytes, so this almost never allocates. 1, or -1 when memory runs out
// (the record is then released, Record null).
inline int32_t RgnReserve(RgnBuilder& builder, uint32_t values) {
  if ((uint64_t(uint32_t(builder.RowStart + builder.RowCount)) + values) * 4u <= builder.Capacity) return 1;
  return RgnGrowFor(builder, values);
}

// Grows the segment buffer so that a full row fits after the rows so far; -1 releases the record.
int32_t RgnGrowForNextRow(RgnBuilder& builder);

// Closes the current line and moves to the next; called once per line of the rectangle, empty
// lines included. 1, or -1 when memory runs out (the record is then released, Record null).
inline int32_t RgnEndRow(RgnBuilder& builder) {
  RgnRecord& record = *builder.Record;
  if (builder.RowCount == 0) {
    // Lines before the first non-empty row take no entry; later empty lines keep {0, 0}.
    if (builder.RowTableUsed > 0) {
      ++builder.RowIndex;
      builder.RowTableUsed += sizeof(RgnRow);
    }
    ++builder.CurrentY;
    return 1;
  }
  const int32_t first = builder.Values[builder.RowStart];
  const int32_t last = builder.Values[builder.RowStart + builder.RowCount - 1];
  if (builder.RowTableUsed == 0) {
    record.Bounds.top = builder.CurrentY;
    record.Bounds.left = first;
    record.Bounds.right = last;
  } else {
    if (first < record.Bounds.left) record.Bounds.left = first;
    if (record.Bounds.right < last) record.Bounds.right = last;
  }
  ++builder.CurrentY;
  record.Bounds.bottom = builder.CurrentY;
  builder.RowTable[builder.RowIndex] = RgnRow{builder.RowCount, record.SegmentBytes};
  ++builder.RowIndex;
  builder.RowTableUsed += sizeof(RgnRow);
  record.RowTableBytes = builder.RowTableUsed;
  record.SegmentBytes += uint32_t(builder.RowCount) * 4;
  builder.RowCount = 0;
  builder.RowStart = int32_t(record.SegmentBytes / 4);
  if (builder.Capacity < builder.MaxRowBytes + record.SegmentBytes) return RgnGrowForNextRow(builder);
  return 1;
}

// Trims the record to its rows; the finished record is builder.Record, owned by the caller.
void RgnFinish(RgnBuilder& builder);

// Releases a record still under construction (after RgnBegin, before RgnFinish).
void RgnAbandon(RgnBuilder& builder);

// A region that is exactly rect (empty when rect is empty). 1 with *out set, or -1.
int32_t RgnFromRect(const RECT& rect, RgnRecord** out);
