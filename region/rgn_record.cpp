#include "region/rgn_record.h"

#include <cstring>

RgnRecord* RgnAllocRecord() { return static_cast<RgnRecord*>(KrnAllocZeroed(sizeof(RgnRecord), 1)); }

void RgnMakeEmpty(RgnRecord& region) {
  RgnDropCaches(region);
  KrnFree(region.RowTable);
  KrnFree(region.Segments);
  region.Bounds = RECT{0, 0, 0, 0};
  region.RowTable = nullptr;
  region.RowTableBytes = 0;
  region.Segments = nullptr;
  region.SegmentBytes = 0;
}

void RgnReplaceInPlace(RgnRecord& target, RgnRecord* fresh) {
  RgnMakeEmpty(target);
  std::memcpy(&target, fresh, sizeof(RgnRecord));
  // The fresh block's parts now belong to target: free the bare block only.
  KrnFree(fresh);
}
