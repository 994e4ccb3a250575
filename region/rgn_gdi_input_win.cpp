#include "region/rgn_gdi_input.h"

#include <memory>
#include <type_traits>

#include "frame/result_codes.h"
#include "qskrn.h"
#include "region/rgn_combine.h"
#include "region/rgn_region_data.h"

namespace {
struct MemFree {
  void operator()(void* block) const { KrnMemFree(block); }
};
struct RegionDelete {
  void operator()(HRGN region) const { DeleteObject(region); }
};
}  // namespace

int32_t RgnFromGdiRegion(HRGN region, RgnRecord** out) {
  RECT box;
  if (GetRgnBox(region, &box) == ERROR) return kResultBadArgument;
  const DWORD bytes = GetRegionData(region, 0, nullptr);
  if (bytes == 0) return kResultBadArgument;
  std::unique_ptr<void, MemFree> data(KrnMemAlloc(bytes));
  if (!data) return kResultNoMemory;
  if (GetRegionData(region, bytes, static_cast<RGNDATA*>(data.get())) != bytes) return kResultBadArgument;
  return RgnFromRegionData(data.get(), bytes, box, out);
}

int32_t RgnCombineTemporaryGdiRegion(BitmapRecord* bitmap, const RgnTransform* transform, HRGN temporary,
                                     uint32_t mode) {
  if (temporary == nullptr) return kResultNoMemory;
  RgnRecord* rows = nullptr;
  {
    std::unique_ptr<std::remove_pointer_t<HRGN>, RegionDelete> owner(temporary);
    const int32_t result = RgnFromGdiRegion(temporary, &rows);
    if (result != kResultOk) return result;
  }
  return RgnCombine(bitmap, transform, rows, mode);
}
