// RgnCombine: carries a new region into the bitmap's coordinates and merges it with the
// bitmap's region under one of the seven combine modes.
#include "region/rgn_combine.h"

#include <iterator>

#include "frame/bitmap_checks.h"
#include "frame/result_codes.h"
#include "qskrn.h"
#include "region/rgn_builder.h"
#include "region/rgn_merge.h"
#include "region/rgn_ops.h"
#include "region/rgn_record.h"
#include "region/rgn_validate.h"

namespace {
// Modes 2, 3 and 6 are one difference with operands swapped or the frame put first; 0, 4 and
// 5 are symmetric merges of N and E; 1 takes N as it is.
enum class Engine { Intersect, Replace, Subtract, Unite, ExclusiveOr };
enum class Operand { New, Existing, Frame };
struct ModeRow {
  Engine Merge;
  Operand First, Second;
};
constexpr ModeRow kModes[] = {
    {Engine::Intersect, Operand::New, Operand::Existing},    // 0 N and E
    {Engine::Replace, Operand::New, Operand::New},           // 1 N
    {Engine::Subtract, Operand::New, Operand::Existing},     // 2 N minus E
    {Engine::Subtract, Operand::Existing, Operand::New},     // 3 E minus N
    {Engine::Unite, Operand::New, Operand::Existing},        // 4 N or E
    {Engine::ExclusiveOr, Operand::New, Operand::Existing},  // 5 N xor E
    {Engine::Subtract, Operand::Frame, Operand::New},        // 6 F minus N
};
static_assert(std::size(kModes) == kRgnCombineModeCount);
static_assert(kModes[kRgnCombineOldMinusNew].First == Operand::Existing);
static_assert(kModes[kRgnCombineFrameMinusNew].First == Operand::Frame);

bool UsesOperand(const ModeRow& row, Operand which) { return row.First == which || row.Second == which; }

RECT UniteWithFrame(const RECT& frame, const RECT& bounds) {
  if (bounds.left >= bounds.right || bounds.top >= bounds.bottom) return frame;
  if (frame.left >= frame.right || frame.top >= frame.bottom) return bounds;
  return RECT{frame.left < bounds.left ? frame.left : bounds.left, frame.top < bounds.top ? frame.top : bounds.top,
              frame.right > bounds.right ? frame.right : bounds.right,
              frame.bottom > bounds.bottom ? frame.bottom : bounds.bottom};
}

// Inbound transform: offset, then scale, then the perspective change (rows flipped, then
// turned clockwise) into the bitmap's orientation.
int32_t ToBitmapCoordinates(const BitmapRecord& bitmap, const RgnTransform& transform, RgnOwner& region) {
  if (!RgnTransformIsValid(transform)) return kResultBadArgument;
  int32_t code = RgnOffset(region.get(), transform.XOffset, transform.YOffset);
  if (code == kResultOk)
    code = RgnScale(region.get(), transform.XScaleNum, transform.XScaleDen, transform.YScaleNum, transform.YScaleDen);
  if (code != kResultOk || int32_t(transform.Orientation) == bitmap.Orientation) return code;

  // The region's own frame: the bitmap's, transposed when the turn is odd.
  int32_t flip = 0, angle = 0;
  code = KrnOrientationInfo(int32_t(transform.Orientation), bitmap.Orientation, &flip, &angle);
  if (code != kResultOk) return code;
  const bool transposed = (angle / 90) % 2 != 0;
  return RgnChangePerspective(region.get(), int32_t(transform.Orientation), bitmap.Orientation,
                              transposed ? bitmap.Height : bitmap.Width, transposed ? bitmap.Width : bitmap.Height);
}
}  // namespace

int32_t QSAPI RgnCombine(BitmapRecord* bitmap, const RgnTransform* transform, RgnRecord* region, uint32_t mode) {
  RgnOwner added(region);
  const int32_t check = CheckBitmapRecord(bitmap, kResultNoBitmap);
  if (check != kResultOk) return check;
  if (region == nullptr) {
    KrnFreeRgnMemory(bitmap->Region);
    bitmap->Region = nullptr;
    return kResultOk;
  }
  if (transform != nullptr) {
    const int32_t code = ToBitmapCoordinates(*bitmap, *transform, added);
    if (code != kResultOk) return code;
  }
  if (mode >= kRgnCombineModeCount) return kResultBadArgument;

  const bool clips = RgnClipsToBitmap(*bitmap);
  RECT frame{0, 0, bitmap->Width, bitmap->Height};
  if (!clips) frame = UniteWithFrame(frame, added->Bounds);

  const ModeRow& row = kModes[mode];
  RgnOwner frameRegion;  // F as a region, for mode 6 or a bitmap without a region
  const RgnRecord* existing = bitmap->Region;
  if (UsesOperand(row, Operand::Frame) || (UsesOperand(row, Operand::Existing) && existing == nullptr)) {
    RgnRecord* built = nullptr;
    if (RgnFromRect(frame, &built) != kResultOk) return kResultNoMemory;
    frameRegion.reset(built);
    if (existing == nullptr) existing = built;
  }
  auto operand = [&](Operand which) -> const RgnRecord& {
    return which == Operand::New ? *added : which == Operand::Existing ? *existing : *frameRegion;
  };

  RgnRecord* merged = nullptr;
  int32_t code = kResultOk;
  switch (row.Merge) {
    case Engine::Replace:
      merged = added.release();
      break;
    case Engine::Intersect:
      code = RgnIntersect(operand(row.First), operand(row.Second), &merged);
      break;
    case Engine::Subtract:
      code = RgnSubtract(operand(row.First), operand(row.Second), &merged);
      break;
    case Engine::Unite:
      code = RgnUnite(operand(row.First), operand(row.Second), &merged);
      break;
    case Engine::ExclusiveOr:
      code = RgnExclusiveOr(operand(row.First), operand(row.Second), &merged);
      break;
  }
  if (code != kResultOk) return code;
  RgnOwner result(merged);
  added.reset();
  frameRegion.reset();

  if (clips) {
    code = RgnClip(result.get(), &frame);
    if (code != kResultOk) return code;
  }
  KrnFreeRgnMemory(bitmap->Region);
  bitmap->Region = result.release();
  RGN_ASSERT_WELL_FORMED(bitmap->Region);
  return kResultOk;
}
