// Q_ConvertColorSpace: runs of pixels between blue-green-red, luminance with colour differences,
// YIQ, HSV, HLS, CMY and CMYK, in an 8-bit and a 16-bit family. Every conversion goes through
// blue-green-red of the family: the source into an intermediate run, that run into the
// destination (a blue-green-red source is read directly).
#include "color/color_space.h"

#include <algorithm>
#include <cstring>

#include "frame/result_codes.h"
#include "qsdisp.h"
#include "qskrn.h"

namespace {
constexpr int32_t kOne = 16384;  // 1.0 of the fixed-point luminance and YIQ values

template <int32_t Full>
int32_t Fixed(int32_t channel) { return channel * kOne / Full; }
template <int32_t Full>
int32_t Unfixed(int32_t value) { return int32_t(int64_t(value) * Full / kOne); }
template <int32_t Full>
int32_t Limit(int32_t v) { return std::clamp(v, 0, Full); }

// ---- blue, green, red: 3 bytes, or 3 unsigned 16-bit values ----
Bgr ReadBgr8(const uint8_t* p) { return {p[0], p[1], p[2]}; }
void WriteBgr8(uint8_t* p, Bgr c) {
  p[0] = uint8_t(Limit<255>(c.B)), p[1] = uint8_t(Limit<255>(c.G)), p[2] = uint8_t(Limit<255>(c.R));
}
Bgr ReadBgr16(const uint8_t* p) { return {Get16(p, 0), Get16(p, 1), Get16(p, 2)}; }
void WriteBgr16(uint8_t* p, Bgr c) {
  Put16(p, 0, Limit<65535>(c.B)), Put16(p, 1, Limit<65535>(c.G)), Put16(p, 2, Limit<65535>(c.R));
}

// ---- luminance and colour differences: Y, B - Y, R - Y as signed fixed point ----
template <int32_t Full>
void WriteYcc(uint8_t* p, Bgr c) {
  const int32_t r = Fixed<Full>(c.R), g = Fixed<Full>(c.G), b = Fixed<Full>(c.B);
  const int32_t y = (299 * r + 587 * g + 114 * b) / 1000;
  Put16(p, 0, y), Put16(p, 1, b - y), Put16(p, 2, r - y);
}
template <int32_t Full>
Bgr ReadYcc(const uint8_t* p) {
  const int32_t y = GetSigned16(p, 0), b = GetSigned16(p, 1) + y, r = GetSigned16(p, 2) + y;
  const int32_t g = (1000 * y - 299 * r - 114 * b) / 587;
  return {Unfixed<Full>(b), Unfixed<Full>(g), Unfixed<Full>(r)};
}

// ---- YIQ as signed fixed point ----
template <int32_t Full>
void WriteYiq(uint8_t* p, Bgr c) {
  const int32_t r = Fixed<Full>(c.R), g = Fixed<Full>(c.G), b = Fixed<Full>(c.B);
  Put16(p, 0, (299 * r + 587 * g + 114 * b) / 1000);
  Put16(p, 1, (596 * r - 275 * g - 321 * b) / 1000);
  Put16(p, 2, (212 * r - 528 * g + 311 * b) / 1000);
}
template <int32_t Full>
Bgr ReadYiq(const uint8_t* p) {
  const int32_t y = GetSigned16(p, 0), i = GetSigned16(p, 1), q = GetSigned16(p, 2);
  return {Unfixed<Full>((1008 * y - 1110 * i + 1700 * q) / 1000), Unfixed<Full>((997 * y - 271 * i - 645 * q) / 1000),
          Unfixed<Full>((1003 * y + 955 * i + 618 * q) / 1000)};
}

// ---- CMY and CMYK: the complements, with the common part of the three as black ----
Bgr ReadCmy8(const uint8_t* p) { return {255 - p[2], 255 - p[1], 255 - p[0]}; }
void WriteCmy8(uint8_t* p, Bgr c) { p[0] = uint8_t(255 - c.R), p[1] = uint8_t(255 - c.G), p[2] = uint8_t(255 - c.B); }
Bgr ReadCmy16(const uint8_t* p) { return {65535 - Get16(p, 2), 65535 - Get16(p, 1), 65535 - Get16(p, 0)}; }
void WriteCmy16(uint8_t* p, Bgr c) { Put16(p, 0, 65535 - c.R), Put16(p, 1, 65535 - c.G), Put16(p, 2, 65535 - c.B); }

template <int32_t Full>
void SplitBlack(Bgr c, int32_t out[4]) {
  const int32_t cyan = Full - c.R, magenta = Full - c.G, yellow = Full - c.B;
  const int32_t black = std::min({cyan, magenta, yellow});
  out[0] = cyan - black, out[1] = magenta - black, out[2] = yellow - black, out[3] = black;
}
Bgr ReadCmyk8(const uint8_t* p) {
  return {Limit<255>(255 - p[3] - p[2]), Limit<255>(255 - p[3] - p[1]), Limit<255>(255 - p[3] - p[0])};
}
void WriteCmyk8(uint8_t* p, Bgr c) {
  int32_t v[4];
  SplitBlack<255>(c, v);
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v[i]);
}
Bgr ReadCmyk16(const uint8_t* p) {
  const int32_t k = Get16(p, 3);
  return {std::max(0, 65535 - k - Get16(p, 2)), std::max(0, 65535 - k - Get16(p, 1)), std::max(0, 65535 - k - Get16(p, 0))};
}
void WriteCmyk16(uint8_t* p, Bgr c) {
  int32_t v[4];
  SplitBlack<65535>(c, v);
  for (int i = 0; i < 4; ++i) Put16(p, i, v[i]);
}

const ColorSpaceFormat kFormats[] = {
    {0x00, 3, ReadBgr8, WriteBgr8},           {0x01, 6, ReadYcc<255>, WriteYcc<255>},
    {0x02, 4, ReadCmyk8, WriteCmyk8},         {0x03, 3, ReadHsv8, WriteHsv8},
    {0x04, 3, ReadHls8, WriteHls8},           {0x05, 6, ReadYiq<255>, WriteYiq<255>},
    {0x06, 3, ReadCmy8, WriteCmy8},           {0x10, 6, ReadBgr16, WriteBgr16},
    {0x20, 6, ReadYcc<65535>, WriteYcc<65535>}, {0x30, 6, ReadYiq<65535>, WriteYiq<65535>},
    {0x40, 6, ReadHsv16, WriteHsv16},         {0x50, 6, ReadHls16, WriteHls16},
    {0x60, 6, ReadCmy16, WriteCmy16},         {0x70, 8, ReadCmyk16, WriteCmyk16},
};
}  // namespace

const ColorSpaceFormat* FindColorSpaceFormat(uint32_t code) {
  for (const ColorSpaceFormat& f : kFormats)
    if (f.Code == code) return &f;
  return nullptr;
}

int32_t QSAPI Q_ConvertColorSpace(const void* source, void* dest, int32_t count, uint32_t sourceCode,
                                  uint32_t destCode) {
  const ColorSpaceFormat* from = FindColorSpaceFormat(sourceCode);
  const ColorSpaceFormat* to = FindColorSpaceFormat(destCode);
  if (source == nullptr || dest == nullptr || from == nullptr || to == nullptr) return kResultBadArgument;
  if (IsWideFamily(sourceCode) != IsWideFamily(destCode) || count < 0) return kResultBadArgument;
  const auto* in = static_cast<const uint8_t*>(source);
  auto* out = static_cast<uint8_t*>(dest);
  const size_t n = size_t(count);
  if (from == to) {  // the same format: a copy
    std::memmove(out, in, n * from->PixelBytes);
    return kResultOk;
  }
  const bool fromBgr = (sourceCode & 0x0F) == 0;
  if (fromBgr) {  // the source itself serves as the blue-green-red run
    for (size_t i = 0; i < n; ++i) to->Write(out + i * to->PixelBytes, from->Read(in + i * from->PixelBytes));
    return kResultOk;
  }
  // Through an intermediate run, so that the destination may be the source.
  if (n > UINT32_MAX / sizeof(Bgr)) return kResultNoMemory;
  auto* run = static_cast<Bgr*>(KrnMemAlloc(uint32_t(std::max<size_t>(n, 1) * sizeof(Bgr))));
  if (run == nullptr) return kResultNoMemory;
  for (size_t i = 0; i < n; ++i) run[i] = from->Read(in + i * from->PixelBytes);
  for (size_t i = 0; i < n; ++i) to->Write(out + i * to->PixelBytes, run[i]);
  KrnMemFree(run);
  return kResultOk;
}
