// Pixel formats of the colour-space conversion, one table row per format code: how a pixel of
// the format becomes blue, green and red of its family (0..255 or 0..65535) and back.
#pragma once
#include <cstdint>

struct Bgr {
  int32_t B, G, R;
};

struct ColorSpaceFormat {
  uint32_t Code;
  uint32_t PixelBytes;
  Bgr (*Read)(const uint8_t* pixel);       // the pixel as blue, green, red
  void (*Write)(uint8_t* pixel, Bgr bgr);  // blue, green, red as the pixel
};

// The row of a format code, or null for a code not in the table.
const ColorSpaceFormat* FindColorSpaceFormat(uint32_t code);
inline bool IsWideFamily(uint32_t code) { return (code & 0xF0) != 0; }

// The spaces whose conversions turn on hue (color_space_hue.cpp).
Bgr ReadHsv8(const uint8_t* p);
void WriteHsv8(uint8_t* p, Bgr c);
Bgr ReadHsv16(const uint8_t* p);
void WriteHsv16(uint8_t* p, Bgr c);
Bgr ReadHls8(const uint8_t* p);
void WriteHls8(uint8_t* p, Bgr c);
Bgr ReadHls16(const uint8_t* p);
void WriteHls16(uint8_t* p, Bgr c);

// Little-endian fields of a pixel.
inline int32_t Get16(const uint8_t* p, int i) { return int32_t(uint32_t(p[2 * i]) | uint32_t(p[2 * i + 1]) << 8); }
inline int32_t GetSigned16(const uint8_t* p, int i) { return int16_t(uint16_t(Get16(p, i))); }
inline void Put16(uint8_t* p, int i, int32_t v) {
  p[2 * i] = uint8_t(v);
  p[2 * i + 1] = uint8_t(uint32_t(v) >> 8);
}
