// Row unpackers: widen a source row whose depth a device-independent bitmap cannot carry into
// 4, 8 or 24 bits per pixel. Pixels x0 .. x1 - 1 are written from the first byte of dst.
#include <array>
#include <cstddef>

#include "paint/dither_targets.h"
#include "paint/pixel_readers.h"
#include "paint/row_kernels.h"

namespace {
template <int Bits>
void UnpackPackedTo4(uint8_t* dst, const uint8_t* src, int32_t x0, int32_t x1) {
  Store4Bit out{dst};
  for (int32_t x = x0; x < x1; ++x) out.Put(ReadPackedIndex<Bits>(src, x));
  out.Finish();
}

template <int Bits>
void UnpackPackedTo8(uint8_t* dst, const uint8_t* src, int32_t x0, int32_t x1) {
  for (int32_t x = x0; x < x1; ++x) *dst++ = static_cast<uint8_t>(ReadPackedIndex<Bits>(src, x));
}

// Deep grey through its window: without a window-level table the value becomes a byte (spread
// over 0..255 when the window has fewer than 8 bits); with one, the table's colour.
template <int Bits>
struct GrayUnpacker {
  GrayWindow Window;
  const uint32_t* Lut;
  uint32_t LutLast;

  explicit GrayUnpacker(const BitmapRecord& bitmap)
      : Window(GetGrayWindow(bitmap)),
        Lut(bitmap.LUT),
        LutLast(bitmap.LUTLength > 0 ? uint32_t(bitmap.LUTLength - 1) : 0) {}

  uint32_t Value(const uint8_t* src, int32_t x) const {
    return (ReadGrayRaw<Bits>(src, x) >> Window.Shift) & Window.Mask;
  }
  uint8_t Byte(uint32_t v) const {
    v &= 0xFF;
    return static_cast<uint8_t>(Window.Mask < 255 ? v * 255 / Window.Mask : v);
  }
  uint32_t Color(uint32_t v) const { return Lut[v < LutLast ? v : LutLast]; }

  void To8(uint8_t* dst, const uint8_t* src, int32_t x0, int32_t x1) const {
    if (Lut != nullptr) {
      for (int32_t x = x0; x < x1; ++x) *dst++ = static_cast<uint8_t>(Color(Value(src, x)));
    } else {
      for (int32_t x = x0; x < x1; ++x) *dst++ = Byte(Value(src, x));
    }
  }
  void To24(uint8_t* dst, const uint8_t* src, int32_t x0, int32_t x1) const {
    if (Lut != nullptr) {
      for (int32_t x = x0; x < x1; ++x, dst += 3) {
        const uint32_t c = Color(Value(src, x));
        dst[0] = uint8_t(c), dst[1] = uint8_t(c >> 8), dst[2] = uint8_t(c >> 16);
      }
    } else {
      for (int32_t x = x0; x < x1; ++x, dst += 3) dst[0] = dst[1] = dst[2] = Byte(Value(src, x));
    }
  }
};

// The first three bytes of each pixel, or the high bytes of its first three 16-bit channels.
template <int Bytes>
void UnpackChannelsTo24(uint8_t* dst, const uint8_t* src, int32_t x0, int32_t x1) {
  constexpr int kStep = Bytes >= 6 ? 2 : 1;
  constexpr int kFirst = Bytes >= 6 ? 1 : 0;
  const uint8_t* p = src + size_t(uint32_t(x0)) * Bytes + kFirst;
  for (int32_t x = x0; x < x1; ++x, p += Bytes, dst += 3) {
    dst[0] = p[0], dst[1] = p[kStep], dst[2] = p[2 * kStep];
  }
}
}  // namespace

void UnpackRow2To4(uint8_t* dst, const uint8_t* src, const BitmapRecord*, int32_t x0, int32_t x1) {
  UnpackPackedTo4<2>(dst, src, x0, x1);
}
void UnpackRow3To4(uint8_t* dst, const uint8_t* src, const BitmapRecord*, int32_t x0, int32_t x1) {
  UnpackPackedTo4<3>(dst, src, x0, x1);
}
void UnpackRow5To8(uint8_t* dst, const uint8_t* src, const BitmapRecord*, int32_t x0, int32_t x1) {
  UnpackPackedTo8<5>(dst, src, x0, x1);
}
void UnpackRow6To8(uint8_t* dst, const uint8_t* src, const BitmapRecord*, int32_t x0, int32_t x1) {
  UnpackPackedTo8<6>(dst, src, x0, x1);
}
void UnpackRow7To8(uint8_t* dst, const uint8_t* src, const BitmapRecord*, int32_t x0, int32_t x1) {
  UnpackPackedTo8<7>(dst, src, x0, x1);
}
void UnpackRow12GreyTo24(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1) {
  GrayUnpacker<12>(*bitmap).To24(dst, src, x0, x1);
}
void UnpackRow12GreyTo8(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1) {
  GrayUnpacker<12>(*bitmap).To8(dst, src, x0, x1);
}
void UnpackRow16GreyTo8(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1) {
  GrayUnpacker<16>(*bitmap).To8(dst, src, x0, x1);
}

// 5-5-5 pixels keep their stored field order: bits 0-4, 5-9 and 10-14 become bytes 0, 1, 2.
void UnpackRow16To24(uint8_t* dst, const uint8_t* src, const BitmapRecord* bitmap, int32_t x0, int32_t x1) {
  if (bitmap->Order == 2) {
    GrayUnpacker<16>(*bitmap).To24(dst, src, x0, x1);
    return;
  }
  const uint8_t* p = src + 2 * size_t(uint32_t(x0));
  for (int32_t x = x0; x < x1; ++x, p += 2, dst += 3) {
    const uint32_t v = p[0] | (uint32_t(p[1]) << 8);
    dst[0] = uint8_t(Widen5(v & 31)), dst[1] = uint8_t(Widen5((v >> 5) & 31)), dst[2] = uint8_t(Widen5((v >> 10) & 31));
  }
}

void UnpackRow32To24(uint8_t* dst, const uint8_t* src, const BitmapRecord*, int32_t x0, int32_t x1) {
  UnpackChannelsTo24<4>(dst, src, x0, x1);
}
void UnpackRow48To24(uint8_t* dst, const uint8_t* src, const BitmapRecord*, int32_t x0, int32_t x1) {
  UnpackChannelsTo24<6>(dst, src, x0, x1);
}
void UnpackRow64To24(uint8_t* dst, const uint8_t* src, const BitmapRecord*, int32_t x0, int32_t x1) {
  UnpackChannelsTo24<8>(dst, src, x0, x1);
}

namespace {
struct UnpackEntry {
  int8_t SrcBits;
  int8_t OutBits;
  UnpackRowFn Unpack;
};

constexpr std::array<UnpackEntry, 13> kUnpackers = {{
    // src, out, unpacker
    {2, 4, UnpackRow2To4},
    {3, 4, UnpackRow3To4},
    {5, 8, UnpackRow5To8},
    {6, 8, UnpackRow6To8},
    {7, 8, UnpackRow7To8},
    {12, 8, UnpackRow12GreyTo8},
    {12, 24, UnpackRow12GreyTo24},
    {16, 8, UnpackRow16GreyTo8},
    {16, 24, UnpackRow16To24},
    {32, 24, UnpackRow32To24},
    {48, 24, UnpackRow48To24},
    {64, 24, UnpackRow64To24},
    {0, 0, nullptr},
}};
}  // namespace

UnpackRowFn SelectUnpackRow(int32_t srcBits, int32_t outBits) {
  for (const UnpackEntry& e : kUnpackers)
    if (e.SrcBits == srcBits && e.OutBits == outBits) return e.Unpack;
  return nullptr;
}
