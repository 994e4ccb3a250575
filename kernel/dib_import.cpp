// Packed DIBs become bitmaps. Rows keep the DIB's order (a bottom-up DIB gives orientation 4, a
// top-down one orientation 1), so the common formats are copied row by row; pixels coded by
// masks the kernel does not store as they are become 24-bit blue-green-red.
#include <cstring>

#include "frame/result_codes.h"
#include "kernel/bitmap_storage.h"
#include "kernel/dib_layout.h"
#include "qskrn.h"

namespace {
constexpr int32_t kOrderBlueFirst = 1;
constexpr int32_t kOrderRedFirst = 0;

struct MaskChannel {
  uint32_t Mask;
  int32_t Shift;
  uint32_t Max;  // the channel's largest value
};

bool SameMasks(const DibLayout& d, uint32_t red, uint32_t green, uint32_t blue) {
  return d.Masks[0] == red && d.Masks[1] == green && d.Masks[2] == blue;
}

// Only contiguous, non-empty masks can be read as channels.
bool ReadMask(uint32_t mask, MaskChannel& c) {
  if (mask == 0) return false;
  c.Mask = mask;
  c.Shift = 0;
  while (((mask >> c.Shift) & 1u) == 0) ++c.Shift;
  const uint32_t run = mask >> c.Shift;
  if ((run & (run + 1)) != 0) return false;
  c.Max = run;
  return true;
}

uint8_t ChannelByte(uint32_t pixel, const MaskChannel& c) {
  const uint32_t v = (pixel & c.Mask) >> c.Shift;
  return uint8_t((uint64_t(v) * 255 + c.Max / 2) / c.Max);
}

// How the stored pixels come from the DIB's.
enum class RowCopy { Bytes, MasksTo24 };

struct Target {
  int32_t Bits, Order;
  RowCopy Copy;
};

Target ChooseTarget(const DibLayout& d) {
  if (d.Bits == 16 && (!d.BitFields || SameMasks(d, 0x7C00, 0x03E0, 0x001F))) return {16, kOrderBlueFirst, RowCopy::Bytes};
  if (d.Bits == 32 && (!d.BitFields || SameMasks(d, 0xFF0000, 0xFF00, 0xFF))) return {32, kOrderBlueFirst, RowCopy::Bytes};
  if (d.Bits == 32 && SameMasks(d, 0xFF, 0xFF00, 0xFF0000)) return {32, kOrderRedFirst, RowCopy::Bytes};
  if (d.Bits == 16 || d.Bits == 32) return {24, kOrderBlueFirst, RowCopy::MasksTo24};
  return {d.Bits, d.Bits == 24 ? kOrderBlueFirst : 0, RowCopy::Bytes};
}

void CopyMaskedRow(uint8_t* out, const uint8_t* in, const DibLayout& d, const MaskChannel (&c)[3]) {
  for (int32_t x = 0; x < d.Width; ++x, out += 3) {
    uint32_t pixel = 0;
    std::memcpy(&pixel, in + size_t(x) * uint32_t(d.Bits / 8), size_t(d.Bits / 8));
    out[0] = ChannelByte(pixel, c[2]);
    out[1] = ChannelByte(pixel, c[1]);
    out[2] = ChannelByte(pixel, c[0]);
  }
}

int32_t DotsPerInch(int32_t pelsPerMeter) { return int32_t((int64_t(pelsPerMeter) * 254 + 5000) / 10000); }
}  // namespace

int32_t QSAPI KrnDIBToBitmap(BitmapRecord* bitmap, uint32_t structSize, const void* header, const void* bits) {
  if (bitmap == nullptr) return kResultNoBitmap;
  if (structSize != QS_RECORD_SIZE) return kResultBadStructSize;
  if (bits == nullptr) return kResultBadArgument;
  DibLayout d;
  int32_t code = ReadDibLayout(header, d);
  if (code != kResultOk) return code;
  const Target target = ChooseTarget(d);
  MaskChannel channels[3];
  if (target.Copy == RowCopy::MasksTo24) {
    for (int i = 0; i < 3; ++i)
      if (!ReadMask(d.Masks[i], channels[i])) return kResultBadArgument;
  }

  RGBQUAD palette[256] = {};  // entries the DIB leaves out are black
  const auto* table = static_cast<const uint8_t*>(header) + d.HeaderBytes;
  for (int32_t i = 0; i < d.PaletteEntries; ++i) {
    const uint8_t* e = table + size_t(i) * uint32_t(d.EntryBytes);
    palette[i] = RGBQUAD{e[0], e[1], e[2], 0};
  }

  BitmapRecord record;
  code = KrnAllocateBitmap(&record, QS_RECORD_SIZE, KRN_MEMORY_ONE_BLOCK, d.Width, d.Height, target.Bits,
                           target.Order, d.Bits <= 8 ? palette : nullptr, d.TopDown ? 1 : 4, nullptr, 0);
  if (code != kResultOk) return code;
  const auto* rows = static_cast<const uint8_t*>(bits);
  const uint32_t copied = d.RowBytes < uint32_t(record.BytesPerLine) ? d.RowBytes : uint32_t(record.BytesPerLine);
  for (int32_t y = 0; y < d.Height; ++y) {
    const uint8_t* in = rows + size_t(y) * d.RowBytes;
    if (target.Copy == RowCopy::Bytes) {
      std::memcpy(StoredRow(record, y), in, copied);
    } else {
      CopyMaskedRow(StoredRow(record, y), in, d, channels);
    }
  }
  if (d.XPelsPerMeter > 0) record.XResolution = DotsPerInch(d.XPelsPerMeter);
  if (d.YPelsPerMeter > 0) record.YResolution = DotsPerInch(d.YPelsPerMeter);
  *bitmap = record;
  return kResultOk;
}
