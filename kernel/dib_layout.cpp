#include "kernel/dib_layout.h"

#include <cstring>

#include "frame/result_codes.h"

namespace {
constexpr uint32_t kCoreHeaderBytes = 12;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionBitFields = 3;

uint32_t ReadU32(const uint8_t* p, uint32_t at) {
  uint32_t v;
  std::memcpy(&v, p + at, 4);
  return v;
}
int32_t ReadI32(const uint8_t* p, uint32_t at) { return int32_t(ReadU32(p, at)); }
uint16_t ReadU16(const uint8_t* p, uint32_t at) {
  uint16_t v;
  std::memcpy(&v, p + at, 2);
  return v;
}

// The information header and the versions that extend it (masks at 40, then colour space data).
bool IsInfoHeaderSize(uint32_t size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

int32_t ReadCore(const uint8_t* h, DibLayout& d) {
  d.Width = ReadU16(h, 4);
  d.Height = ReadU16(h, 6);
  d.Bits = ReadU16(h, 10);
  if (ReadU16(h, 8) != 1 || d.Width == 0 || d.Height == 0) return kResultBadArgument;
  if (d.Bits != 1 && d.Bits != 4 && d.Bits != 8 && d.Bits != 24) return kResultBadArgument;
  d.EntryBytes = 3;
  d.TableEntries = d.Bits <= 8 ? 1 << d.Bits : 0;
  d.PaletteEntries = d.TableEntries;
  return kResultOk;
}

int32_t ReadInfo(const uint8_t* h, DibLayout& d) {
  d.Width = ReadI32(h, 4);
  const int32_t height = ReadI32(h, 8);
  d.Bits = ReadU16(h, 14);
  const uint32_t compression = ReadU32(h, 16);
  const uint32_t used = ReadU32(h, 32);
  if (ReadU16(h, 12) != 1 || d.Width <= 0 || height == 0 || height == INT32_MIN) return kResultBadArgument;
  if (d.Bits != 1 && d.Bits != 4 && d.Bits != 8 && d.Bits != 16 && d.Bits != 24 && d.Bits != 32)
    return kResultBadArgument;
  d.TopDown = height < 0;
  d.Height = height < 0 ? -height : height;
  d.XPelsPerMeter = ReadI32(h, 24);
  d.YPelsPerMeter = ReadI32(h, 28);
  d.EntryBytes = 4;
  if (compression == kCompressionBitFields) {
    if (d.Bits != 16 && d.Bits != 32) return kResultBadArgument;
    d.BitFields = true;
    // A bare information header is followed by the three masks; longer headers hold them.
    const uint8_t* masks = h + kInfoHeaderBytes;
    for (int i = 0; i < 3; ++i) d.Masks[i] = ReadU32(masks, uint32_t(4 * i));
  } else if (compression != kCompressionNone) {
    return kResultBadArgument;
  }
  if (used > 256) return kResultBadArgument;
  const int32_t full = d.Bits <= 8 ? 1 << d.Bits : 0;
  d.TableEntries = used != 0 ? int32_t(used) : full;
  if (d.BitFields && d.HeaderBytes == kInfoHeaderBytes) d.TableEntries += 3;  // masks come first
  d.PaletteEntries = full == 0 ? 0 : (d.TableEntries < full ? d.TableEntries : full);
  return kResultOk;
}
}  // namespace

int32_t ReadDibLayout(const void* header, DibLayout& layout) {
  if (header == nullptr) return kResultBadArgument;
  const auto* h = static_cast<const uint8_t*>(header);
  DibLayout d{};
  d.HeaderBytes = ReadU32(h, 0);
  int32_t code = kResultBadArgument;
  if (d.HeaderBytes == kCoreHeaderBytes) {
    code = ReadCore(h, d);
  } else if (IsInfoHeaderSize(d.HeaderBytes)) {
    code = ReadInfo(h, d);
  }
  if (code != kResultOk) return code;
  const uint64_t rowBytes = ((uint64_t(uint32_t(d.Width)) * uint32_t(d.Bits) + 31) >> 5) * 4;
  const uint64_t imageBytes = rowBytes * uint32_t(d.Height);
  if (imageBytes > 0x7FFFFFFFu) return kResultBadArgument;
  d.RowBytes = uint32_t(rowBytes);
  d.ImageBytes = uint32_t(imageBytes);
  layout = d;
  return kResultOk;
}
