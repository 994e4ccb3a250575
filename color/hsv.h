// Hue, saturation and value in this library's own integer scale: hue 0-255 for the full circle,
// measured by the ratio of the two channels that are not the smallest. The forward conversions
// are shared with the colour-range regions.
#pragma once
#include <cstdint>

struct Hsv8 {
  int32_t Hue, Saturation, Value;  // each 0-255
};

// Channels 0-255 in red, green, blue order.
Hsv8 RgbToHsv8(int32_t red, int32_t green, int32_t blue);

struct Hsv16 {
  int32_t Hue, Saturation, Value;  // hue may pass 65535 just below the full circle
};

// Channels 0-65535 in red, green, blue order, computed in double precision.
Hsv16 RgbToHsv16(int32_t c0, int32_t c1, int32_t c2);
