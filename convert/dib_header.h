// Packed DIB headers as the display library reads and builds them: the colour-table length of a
// header, where its pixel rows start, and the header used to read a GDI bitmap's bits.
#pragma once
#include <cstdint>

inline constexpr uint32_t kDibInfoHeaderBytes = 40;
inline constexpr uint32_t kDibCoreHeaderBytes = 12;
inline constexpr uint32_t kDibBitFields = 3;

// The header's bits per pixel, from either header kind.
uint32_t DibBitCount(const void* header);
// Colour-table entries that follow the header (the three masks count as entries).
uint32_t DibColorCount(const void* header);
// Bytes of that table: 3 per entry after a core header, 4 otherwise.
uint32_t DibColorTableBytes(const void* header);
// The first pixel row: header + header size + colour-table bytes.
const uint8_t* DibBitsPointer(const void* header);
uint8_t* DibBitsPointer(void* header);

// The 40-byte header followed by four u32 values (three masks and a zero) for reading a GDI
// bitmap of width x height and depth planes x bits per pixel.
struct DdbHeader {
  uint8_t Header[kDibInfoHeaderBytes];
  uint32_t Masks[4];
};
DdbHeader MakeDdbHeader(int32_t width, int32_t height, int32_t depth);
// Bytes of the pixel rows a header describes, rows padded to 4 bytes.
uint32_t DibImageSize(int32_t width, int32_t height, int32_t bitCount);
