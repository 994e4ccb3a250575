#include "region/rgn_region_data.h"

#include <cstring>

#include "frame/result_codes.h"
#include "region/rgn_builder.h"

namespace {
RgnDataHeader ReadHeader(const void* data) {
  RgnDataHeader header;
  std::memcpy(&header, data, sizeof header);
  return header;
}

RECT ReadRect(const void* data, uint32_t index) {
  RECT r;
  std::memcpy(&r, static_cast<const uint8_t*>(data) + kRgnDataHeaderSize + size_t{index} * sizeof(RECT), sizeof r);
  return r;
}

bool IsInside(const RECT& r, const RECT& box) {
  return r.left >= box.left && r.right <= box.right && r.top >= box.top && r.bottom <= box.bottom;
}
}  // namespace

int32_t RgnCheckBanding(const void* data, uint32_t bytes) {
  if (data == nullptr || bytes < kRgnDataHeaderSize) return kResultBadArgument;
  const RgnDataHeader header = ReadHeader(data);
  if (header.Size != kRgnDataHeaderSize || header.Type != kRgnDataRectangles) return kResultBadArgument;
  if (header.Count > (bytes - kRgnDataHeaderSize) / sizeof(RECT)) return kResultBadArgument;
  for (uint32_t i = 1; i < header.Count; ++i) {
    const RECT previous = ReadRect(data, i - 1), r = ReadRect(data, i);
    if (r.top < previous.top || (r.top == previous.top && r.bottom != previous.bottom)) return kResultBadArgument;
  }
  return kResultOk;
}

int32_t RgnCheckRegionData(const void* data, uint32_t bytes, const RECT& box) {
  const int32_t banded = RgnCheckBanding(data, bytes);
  if (banded != kResultOk) return banded;
  const RgnDataHeader header = ReadHeader(data);

  RECT previous{};
  int32_t bandRight = 0;  // right end of the band's last non-empty rectangle so far
  bool bandHasRect = false;
  for (uint32_t i = 0; i < header.Count; ++i) {
    const RECT r = ReadRect(data, i);
    if (r.top >= r.bottom) return kResultBadArgument;
    if (i > 0 && r.top == previous.top) {
      if (r.bottom != previous.bottom) return kResultBadArgument;
    } else if (i > 0) {
      if (r.top < previous.top || r.top < previous.bottom) return kResultBadArgument;
      bandHasRect = false;
    }
    previous = r;
    if (r.left >= r.right) continue;
    if (!IsInside(r, box)) return kResultBadArgument;
    if (bandHasRect && r.left < bandRight) return kResultBadArgument;
    bandRight = r.right;
    bandHasRect = true;
  }
  return kResultOk;
}

int32_t RgnFromRegionData(const void* data, uint32_t bytes, const RECT& box, RgnRecord** out) {
  const int32_t check = RgnCheckRegionData(data, bytes, box);
  if (check != kResultOk) return check;
  const uint32_t count = ReadHeader(data).Count;

  RgnBuilder builder;
  if (RgnBegin(builder, box) != kResultOk) return kResultNoMemory;
  int32_t y = box.top;
  for (uint32_t first = 0; first < count;) {
    const RECT band = ReadRect(data, first);
    uint32_t end = first + 1;
    while (end < count && ReadRect(data, end).top == band.top) ++end;
    for (; y < band.bottom; ++y) {
      if (y >= band.top) {
        // The band's rectangles, touching ones joined into one segment.
        int32_t start = 0, stop = 0;
        bool open = false;
        for (uint32_t i = first; i < end; ++i) {
          const RECT r = ReadRect(data, i);
          if (r.left >= r.right) continue;
          if (open && r.left == stop) {
            stop = r.right;
            continue;
          }
          if (open) RgnAppend(builder, start, stop);
          start = r.left;
          stop = r.right;
          open = true;
        }
        if (open) RgnAppend(builder, start, stop);
      }
      if (RgnEndRow(builder) != kResultOk) return kResultNoMemory;
    }
    first = end;
  }
  for (; y < box.bottom; ++y)
    if (RgnEndRow(builder) != kResultOk) return kResultNoMemory;
  RgnFinish(builder);
  *out = builder.Record;
  return kResultOk;
}
