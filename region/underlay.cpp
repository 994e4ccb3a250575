// Q_UnderlayBitmap: a second image laid under a bitmap as a brightness texture. The underlay is
// read once as 8-bit grey; each target pixel inside the target's region is lightened or darkened
// by how far the underlay grey beneath it lies from mid-grey. The underlay is seen in the
// target's orientation and repeated over it (mode 0) or stretched to it (mode 1).
#include <algorithm>

#include "frame/bitmap_checks.h"
#include "paint/pixel_readers.h"
#include "qsdisp.h"
#include "qskrn.h"
#include "region/color_pixels.h"
#include "region/color_scan.h"

namespace {
constexpr int32_t kModeTile = 0, kModeStretch = 1;
constexpr int32_t kMidGrey = 128;

// The underlay's stored pixels as one byte of grey each.
int32_t ReadGreyPlane(BitmapRecord& underlay, uint8_t* plane) {
  PixelRows rows;
  int32_t code = OpenPixelRows(rows, underlay);
  if (code != kResultOk) return code;
  const int32_t width = underlay.Width;
  const int32_t shift = rows.Gray16 ? 8 : 0;  // 16-bit grey levels to 8 bits
  MemBlock line(uint32_t(width) * uint32_t(sizeof(Channels)));
  code = line.Block != nullptr ? kResultOk : kResultNoMemory;
  auto* colours = static_cast<Channels*>(line.Block);
  for (int32_t y = 0; code == kResultOk && y < underlay.Height; ++y) {
    code = ReadChannelRow(rows, y, colours);
    for (int32_t x = 0; code == kResultOk && x < width; ++x) {
      const Channels& c = colours[x];
      plane[size_t(y) * size_t(width) + size_t(x)] = uint8_t(GrayOf(c.Red >> shift, c.Green >> shift, c.Blue >> shift));
    }
  }
  ClosePixelRows(rows);
  return code;
}

// Where a pixel of the underlay seen in the target's orientation is stored in the underlay:
// u = origin + column * alongX + row * alongY (each a step of one pixel in the stored frame).
struct FrameMap {
  int32_t OriginX, OriginY, XFromColumn, YFromColumn, XFromRow, YFromRow;
  int32_t Width, Height;  // the underlay's size in the target's orientation
};

int32_t MapFrames(const BitmapRecord& underlay, int32_t targetOrientation, FrameMap& map) {
  const bool turned = (underlay.Orientation >= 5) != (targetOrientation >= 5);
  map.Width = turned ? underlay.Height : underlay.Width;
  map.Height = turned ? underlay.Width : underlay.Height;
  // The images of three pixels fix the map: (0, 0), (1, 0) and (0, 1).
  POINT at[3];
  const POINT probes[3] = {{0, 0}, {1, 0}, {0, 1}};
  for (int i = 0; i < 3; ++i) {
    RECT r{probes[i].x, probes[i].y, probes[i].x + 1, probes[i].y + 1};
    const int32_t code = KrnMapViewPoint(targetOrientation, map.Width, map.Height, underlay.Orientation, &r);
    if (code != kResultOk) return code;
    at[i] = POINT{std::min(r.left, r.right), std::min(r.top, r.bottom)};  // the one pixel, either way round
  }
  map.OriginX = at[0].x, map.OriginY = at[0].y;
  map.XFromColumn = at[1].x - at[0].x, map.YFromColumn = at[1].y - at[0].y;
  map.XFromRow = at[2].x - at[0].x, map.YFromRow = at[2].y - at[0].y;
  return kResultOk;
}

uint32_t Lighten(const Channels& c, int32_t shift, int32_t grey) {
  const int32_t d = grey - kMidGrey;
  const auto channel = [&](int32_t v) { return uint32_t(std::clamp((v >> shift) + d, 0, 255)); };
  return channel(c.Red) | channel(c.Green) << 8 | channel(c.Blue) << 16;
}
}  // namespace

int32_t QSAPI Q_UnderlayBitmap(BitmapRecord* target, BitmapRecord* underlay, int32_t mode) {
  if (target == nullptr || (target->Flags & QS_FLAG_STORAGE) == 0) return kResultNoBitmap;
  if (underlay == nullptr || (underlay->Flags & QS_FLAG_STORAGE) == 0) return kResultNoBitmap;
  if (target->StructSize != kBitmapRecordSize || underlay->StructSize != kBitmapRecordSize)
    return kResultBadStructSize;
  if (mode != kModeTile && mode != kModeStretch) return kResultBadArgument;
  FrameMap map;
  int32_t code = MapFrames(*underlay, target->Orientation, map);
  if (code != kResultOk) return code;
  const int32_t width = target->Width, height = target->Height;
  uint32_t maxSegments = 0;
  code = Q_GetBitmapClipSegmentsMax(target, &maxSegments);
  if (code != kResultOk) return code;
  MemBlock plane(uint32_t(underlay->Width) * uint32_t(underlay->Height));
  MemBlock segments((maxSegments + 2) * 4);
  MemBlock colours(uint32_t(width) * uint32_t(sizeof(Channels) + 4));
  if (plane.Block == nullptr || segments.Block == nullptr || colours.Block == nullptr) return kResultNoMemory;
  code = ReadGreyPlane(*underlay, static_cast<uint8_t*>(plane.Block));
  if (code != kResultOk) return code;
  PixelRows rows;
  code = OpenPixelRows(rows, *target);
  if (code != kResultOk) return code;
  const int32_t shift = rows.Gray16 ? 8 : 0;
  auto* read = static_cast<Channels*>(colours.Block);
  auto* written = reinterpret_cast<uint32_t*>(read + width);
  const auto* grey = static_cast<const uint8_t*>(plane.Block);
  auto* segmentValues = static_cast<int32_t*>(segments.Block);
  for (int32_t y = 0; code == kResultOk && y < height; ++y) {
    code = ReadChannelRow(rows, y, read);
    if (code != kResultOk) break;
    const int32_t row = mode == kModeTile ? y % map.Height : int32_t(int64_t(y) * map.Height / height);
    for (int32_t x = 0; x < width; ++x) {
      const int32_t column = mode == kModeTile ? x % map.Width : int32_t(int64_t(x) * map.Width / width);
      const int32_t ux = map.OriginX + column * map.XFromColumn + row * map.XFromRow;
      const int32_t uy = map.OriginY + column * map.YFromColumn + row * map.YFromRow;
      written[x] = Lighten(read[x], shift, grey[size_t(uy) * size_t(underlay->Width) + size_t(ux)]);
    }
    uint32_t count = 0;
    code = Q_GetBitmapClipSegments(target, y, segmentValues, &count);
    if (code == kResultOk) code = KrnPutRowColors(target, y, written, segmentValues, count);
  }
  ClosePixelRows(rows);
  return code;
}
