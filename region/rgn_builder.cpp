#include "region/rgn_builder.h"

#include <cstring>

#include "frame/result_codes.h"
#include "region/rgn_record.h"
#include "region/rgn_validate.h"

namespace {
// Segment buffers grow by whole rows of the widest possible row, close to this many bytes.
constexpr uint32_t kGrowTarget = 16384;
// Larger row tables or rows are refused as out of memory rather than wrapped.
constexpr int64_t kLargestBlock = 0x7FFFFFF0;
}  // namespace

int32_t RgnBegin(RgnBuilder& builder, const RECT& rect) { return RgnBeginSized(builder, rect, 0); }

int32_t RgnBeginSized(RgnBuilder& builder, const RECT& rect, uint32_t expectedBytes) {
  std::memset(&builder, 0, sizeof(builder));
  const int64_t rows = rect.bottom > rect.top ? int64_t(rect.bottom) - rect.top : 0;
  // A row of w pixels holds at most w + 1 values when its segments do not touch.
  const int64_t columns = int64_t(rect.right) - rect.left + 1;
  const int64_t maxRowBytes = columns > 0 ? columns * 4 : 0;
  if (rows * int64_t(sizeof(RgnRow)) > kLargestBlock || maxRowBytes > kLargestBlock) return kResultNoMemory;

  RgnRecord* record = RgnAllocRecord();
  if (record == nullptr) return kResultNoMemory;
  builder.Record = record;
  builder.CurrentY = rect.top;
  if (rows > 0) {
    builder.RowTable = static_cast<RgnRow*>(KrnAllocZeroed(uint32_t(rows) * sizeof(RgnRow), 1));
    if (builder.RowTable == nullptr) {
      KrnFree(record);
      builder.Record = nullptr;
      return kResultNoMemory;
    }
    record->RowTable = builder.RowTable;
  }
  builder.MaxRowBytes = uint32_t(maxRowBytes);
  if (builder.MaxRowBytes > 0) {
    const uint32_t step = (kGrowTarget / builder.MaxRowBytes) * builder.MaxRowBytes;
    builder.GrowBy = step < builder.MaxRowBytes ? builder.MaxRowBytes : step;
  }
  builder.Capacity = builder.GrowBy;
  if (builder.GrowBy == 0) return kResultOk;
  // Room for the expected values and one more full row.
  const int64_t expected = int64_t(expectedBytes) + builder.MaxRowBytes;
  if (expected > kLargestBlock) {
    KrnFree(builder.RowTable);
    KrnFree(record);
    std::memset(&builder, 0, sizeof(builder));
    return kResultNoMemory;
  }
  if (expected > builder.Capacity) builder.Capacity = uint32_t(expected);
  builder.Values = static_cast<int32_t*>(KrnAlloc(builder.Capacity));
  if (builder.Values == nullptr) {
    KrnFree(builder.RowTable);
    KrnFree(record);
    std::memset(&builder, 0, sizeof(builder));
    return kResultNoMemory;
  }
  record->Segments = builder.Values;
  return kResultOk;
}

namespace {
// Moves the segment buffer to a block of `capacity` bytes; on failure releases the record.
int32_t ResizeValues(RgnBuilder& builder, uint64_t capacity) {
  void* grown = capacity > uint64_t(kLargestBlock) ? nullptr : KrnRealloc(builder.Values, uint32_t(capacity));
  if (grown == nullptr) {
    KrnFreeRgnMemory(builder.Record);
    builder.Record = nullptr;
    return kResultNoMemory;
  }
  builder.Capacity = uint32_t(capacity);
  builder.Values = static_cast<int32_t*>(grown);
  builder.Record->Segments = builder.Values;
  return kResultOk;
}
}  // namespace

int32_t RgnGrowForNextRow(RgnBuilder& builder) {
  const uint32_t used = builder.Record->SegmentBytes;
  // Whole growth steps, but at least half the values so far, so that wide rows (whose step is a
  // single row) do not move the buffer on every line.
  const uint64_t step = builder.GrowBy > used / 2 ? builder.GrowBy : used / 2;
  return ResizeValues(builder, uint64_t(used) + step);
}

int32_t RgnGrowFor(RgnBuilder& builder, uint32_t values) {
  return ResizeValues(builder, (uint64_t(uint32_t(builder.RowStart + builder.RowCount)) + values) * 4u + builder.GrowBy);
}

void RgnFinish(RgnBuilder& builder) {
  RgnRecord& record = *builder.Record;
  // A failed shrink keeps the larger block, which is harmless.
  if (record.RowTableBytes == 0) {
    KrnFree(record.RowTable);
    record.RowTable = nullptr;
  } else if (void* table = KrnRealloc(record.RowTable, record.RowTableBytes)) {
    record.RowTable = static_cast<RgnRow*>(table);
  }
  if (record.SegmentBytes == 0) {
    KrnFree(record.Segments);
    record.Segments = nullptr;
  } else if (void* values = KrnRealloc(record.Segments, record.SegmentBytes)) {
    record.Segments = static_cast<int32_t*>(values);
  }
  builder.RowTable = record.RowTable;
  builder.Values = record.Segments;
  const RECT& b = record.Bounds;
  if (b.right <= b.left || b.bottom <= b.top) record.Bounds = RECT{0, 0, 0, 0};
  RGN_ASSERT_WELL_FORMED(builder.Record);
}

void RgnAbandon(RgnBuilder& builder) {
  KrnFreeRgnMemory(builder.Record);
  builder.Record = nullptr;
}

int32_t RgnFromRect(const RECT& rect, RgnRecord** out) {
  RgnBuilder builder;
  if (RgnBegin(builder, rect) != kResultOk) return kResultNoMemory;
  for (int32_t y = rect.top; y < rect.bottom; ++y) {
    RgnAppend(builder, rect.left, rect.right);
    if (RgnEndRow(builder) != kResultOk) return kResultNoMemory;
  }
  RgnFinish(builder);
  *out = builder.Record;
  return kResultOk;
}
