// The last step of a resampled row: channels to bytes at the output depth. Deep outputs take
// the channels as they are; outputs of 8 bits or fewer take grey levels, or, with the dither
// option, indices of the fixed palette of that depth by Floyd-Steinberg error diffusion or by
// an ordered 4 x 4 threshold.
#include <cstring>

#include "kernel/pixel_format.h"
#include "kernel/resize_context.h"

namespace {
constexpr int32_t kThreshold4x4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

int32_t Round(float v) {
  const int32_t r = int32_t(v + 0.5f);
  return v <= 0.0f ? 0 : (r > 255 ? 255 : r);
}

// The fixed palette of an output depth, as levels per channel and an index rule.
struct Levels {
  int32_t Count[3];  // red, green, blue; one grey channel for 1 bit
  bool Grey;
};

Levels LevelsFor(int32_t bits, bool cube) {
  if (bits == 1) return {{2, 2, 2}, true};
  if (bits == 4) return {{2, 2, 2}, false};
  if (cube) return {{6, 6, 6}, false};
  return {{8, 8, 4}, false};
}

int32_t LevelValue(int32_t level, int32_t count) { return (level * 255 * 2 + (count - 1)) / (2 * (count - 1)); }

int32_t NearestLevel(int32_t v, int32_t count) {
  const int32_t level = (v * (count - 1) * 2 + 255) / 510;
  return level < 0 ? 0 : (level >= count ? count - 1 : level);
}

int32_t PaletteIndex(int32_t bits, bool cube, const int32_t level[3]) {
  if (bits == 1) return level[0];
  if (bits == 4) {
    const int32_t index = level[0] + 2 * level[1] + 4 * level[2];
    return index == 0 ? 0 : index + 8;
  }
  if (cube) return 36 * level[0] + 6 * level[1] + level[2];
  return (level[0] << 5) | (level[1] << 2) | level[2];
}

// Red, green and blue (or grey) of output pixel i.
void PixelChannels(const ResizeContext& c, int32_t i, bool grey, int32_t out[3]) {
  const float* p = c.Sum + size_t(i) * size_t(c.Channels);
  int32_t r, g, b;
  if (c.Channels == 1) {
    r = g = b = Round(p[0]);
  } else {
    b = Round(p[0]);
    g = Round(p[1]);
    r = Round(p[2]);
  }
  if (grey) {
    out[0] = (2 * r + 5 * g + b + 4) >> 3;
  } else {
    out[0] = r;
    out[1] = g;
    out[2] = b;
  }
}

void DitherRow(ResizeContext& c, uint8_t* dest, int32_t row) {
  const bool cube = (c.Options & KRN_RESIZE_CUBE) != 0;
  const bool ordered = (c.Options & KRN_RESIZE_ORDERED) != 0;
  const Levels levels = LevelsFor(c.OutBits, cube);
  const int32_t channels = levels.Grey ? 1 : 3;
  // Error row: index x + 1 holds what the row above left for column x, in sixteenths.
  int32_t* below = c.Errors;
  below[0] = below[1] = below[2] = 0;  // column -1 takes the first pixel's below-left share
  int32_t right[3] = {0, 0, 0}, belowRight[3] = {0, 0, 0};
  for (int32_t i = 0; i < c.Count; ++i) {
    int32_t v[3], level[3] = {0, 0, 0};
    PixelChannels(c, i, levels.Grey, v);
    for (int32_t j = 0; j < channels; ++j) {
      const int32_t n = levels.Count[j];
      if (ordered) {
        const int32_t t = kThreshold4x4[row & 3][(c.Column + i) & 3];
        const int32_t offset = ((2 * t + 1 - 16) * 255) / (32 * (n - 1));
        level[j] = NearestLevel(v[j] + offset, n);
        continue;
      }
      int32_t value = v[j] + (below[(i + 1) * 3 + j] + right[j]) / 16;
      value = value < 0 ? 0 : (value > 255 ? 255 : value);
      level[j] = NearestLevel(value, n);
      const int32_t err = value - LevelValue(level[j], n);
      below[i * 3 + j] += 3 * err;
      below[(i + 1) * 3 + j] = 5 * err + belowRight[j];
      belowRight[j] = err;
      right[j] = 7 * err;
    }
    StorePixel(dest, c.OutBits, i, uint64_t(PaletteIndex(c.OutBits, cube, level)));
  }
}
}  // namespace

void WriteResizedRow(ResizeContext& c, uint8_t* dest, int32_t row) {
  if (c.OutBits == 24 || c.OutBits == 32) {
    const int32_t step = c.OutBits / 8;
    for (int32_t i = 0; i < c.Count; ++i, dest += step) {
      const float* p = c.Sum + size_t(i) * size_t(c.Channels);
      if (c.Channels == 1) {
        dest[0] = dest[1] = dest[2] = uint8_t(Round(p[0]));
      } else {
        dest[0] = uint8_t(Round(p[0]));
        dest[1] = uint8_t(Round(p[1]));
        dest[2] = uint8_t(Round(p[2]));
      }
      if (step == 4) dest[3] = 0;
    }
    return;
  }
  std::memset(dest, 0, RowPayloadBytes(c.OutBits, c.Count));
  if (c.Options & KRN_RESIZE_DITHER) {
    DitherRow(c, dest, row);
    return;
  }
  const int32_t levels = 1 << c.OutBits;
  for (int32_t i = 0; i < c.Count; ++i) {
    int32_t grey[3];
    PixelChannels(c, i, true, grey);
    StorePixel(dest, c.OutBits, i, uint64_t(NearestLevel(grey[0], levels)));
  }
}
