#include "convert/dib_header.h"

#include <cstring>

namespace {
uint32_t ReadU32(const uint8_t* p, uint32_t at) {
  uint32_t v;
  std::memcpy(&v, p + at, 4);
  return v;
}
uint16_t ReadU16(const uint8_t* p, uint32_t at) {
  uint16_t v;
  std::memcpy(&v, p + at, 2);
  return v;
}
void WriteU32(uint8_t* p, uint32_t at, uint32_t v) { std::memcpy(p + at, &v, 4); }
void WriteU16(uint8_t* p, uint32_t at, uint16_t v) { std::memcpy(p + at, &v, 2); }

bool IsCoreHeader(const uint8_t* h) { return ReadU32(h, 0) == kDibCoreHeaderBytes; }
}  // namespace

uint32_t DibBitCount(const void* header) {
  const auto* h = static_cast<const uint8_t*>(header);
  return IsCoreHeader(h) ? ReadU16(h, 10) : ReadU16(h, 14);
}

uint32_t DibColorCount(const void* header) {
  const auto* h = static_cast<const uint8_t*>(header);
  const bool core = IsCoreHeader(h);
  const uint32_t bits = DibBitCount(header);
  if (!core && ReadU32(h, 0) == kDibInfoHeaderBytes && ReadU32(h, 32) != 0) return ReadU32(h, 32);
  if (core && bits != 24) return bits < 32 ? 1u << bits : 0;
  switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    case 16:
    case 32: return !core && ReadU32(h, 0) == kDibInfoHeaderBytes && ReadU32(h, 16) == kDibBitFields ? 3 : 0;
    default: return 0;
  }
}

uint32_t DibColorTableBytes(const void* header) {
  return DibColorCount(header) * (IsCoreHeader(static_cast<const uint8_t*>(header)) ? 3 : 4);
}

const uint8_t* DibBitsPointer(const void* header) {
  const auto* h = static_cast<const uint8_t*>(header);
  return h + ReadU32(h, 0) + DibColorTableBytes(header);
}
uint8_t* DibBitsPointer(void* header) {
  return const_cast<uint8_t*>(DibBitsPointer(static_cast<const void*>(header)));
}

DdbHeader MakeDdbHeader(int32_t width, int32_t height, int32_t depth) {
  DdbHeader out{};
  uint8_t* h = out.Header;
  WriteU32(h, 0, kDibInfoHeaderBytes);
  WriteU32(h, 4, uint32_t(width));
  WriteU32(h, 8, uint32_t(height));
  WriteU16(h, 12, 1);
  int32_t bits = depth;
  if (depth < 2) {
    bits = 1;
  } else if (depth < 5) {
    bits = 4;
  } else if (depth < 9) {
    bits = 8;
  } else if (depth == 16) {
    WriteU32(h, 16, kDibBitFields);
    out.Masks[0] = 0x7C00, out.Masks[1] = 0x03E0, out.Masks[2] = 0x001F;
  } else if (depth == 32) {
    WriteU32(h, 16, kDibBitFields);
    out.Masks[0] = 0x000000FF, out.Masks[1] = 0x0000FF00, out.Masks[2] = 0x00FF0000;
  }
  WriteU16(h, 14, uint16_t(bits));
  return out;
}

uint32_t DibImageSize(int32_t width, int32_t height, int32_t bitCount) {
  return uint32_t((((int64_t(width) * bitCount + 31) >> 3) & ~int64_t(3)) * height);
}
