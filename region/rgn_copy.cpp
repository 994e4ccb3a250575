// An independent copy of a region record.
#include <cstring>

#include "frame/result_codes.h"
#include "qsdisp.h"
#include "region/rgn_record.h"

namespace {
template <typename T>
bool CopyBlock(const T* source, uint32_t bytes, T** out) {
  if (bytes == 0 || source == nullptr) return true;
  void* block = KrnAlloc(bytes);
  if (block == nullptr) return false;
  std::memcpy(block, source, bytes);
  *out = static_cast<T*>(block);
  return true;
}
}  // namespace

int32_t QSAPI Q_CopyQorbRgn(RgnRecord** copy, const RgnRecord* source) {
  if (copy == nullptr) return kResultBadArgument;
  if (source == nullptr) {
    *copy = nullptr;
    return kResultOk;
  }
  RgnOwner made(RgnAllocRecord());
  if (made == nullptr) return kResultNoMemory;
  made->CachedTransform = source->CachedTransform;
  made->Bounds = source->Bounds;
  made->RowTableBytes = source->RowTableBytes;
  made->SegmentBytes = source->SegmentBytes;
  if (!CopyBlock(source->RowTable, source->RowTableBytes, &made->RowTable) ||
      !CopyBlock(source->Segments, source->SegmentBytes, &made->Segments))
    return kResultNoMemory;
  // The copied handle is only a starting point: with no perspective recorded it is rebuilt at
  // its first use. A failed copy leaves none.
  made->CachedHandle = RgnDuplicateHandle(source->CachedHandle);
  *copy = made.release();
  return kResultOk;
}
