// CMYK to blue-green-red without a colour profile: each channel is the full value less its ink
// and the black, never below zero.
#include <windows.h>

#include <cstdint>

#include "colorlib/qsclr.h"

namespace {
constexpr uint32_t kTag = 0x434D594B;  // "CMYK": marks transforms made here

struct CmykTransform {
  uint32_t Tag;
  int32_t BitsPerSample;
  volatile LONG Uses;
};

template <typename Sample>
void ConvertRow(const Sample* cmyk, Sample* bgr, int32_t count, int32_t full) {
  for (int32_t i = 0; i < count; ++i, cmyk += 4, bgr += 3) {
    const int32_t k = cmyk[3];
    for (int c = 0; c < 3; ++c) {
      const int32_t v = full - k - cmyk[2 - c];  // blue from yellow, green from magenta, red from cyan
      bgr[c] = Sample(v < 0 ? 0 : v);
    }
  }
}
}  // namespace

void* QSCLR_API ClrCreateCmykTransform(int32_t bitsPerSample) {
  if (bitsPerSample != 8 && bitsPerSample != 16) return nullptr;
  auto* t = static_cast<CmykTransform*>(HeapAlloc(GetProcessHeap(), 0, sizeof(CmykTransform)));
  if (t != nullptr) *t = CmykTransform{kTag, bitsPerSample, 0};
  return t;
}

void QSCLR_API ClrDeleteTransform(void* transform) {
  if (transform != nullptr) HeapFree(GetProcessHeap(), 0, transform);
}

int32_t QSCLR_API ClrTransformUses(const void* transform) {
  return transform != nullptr ? static_cast<const CmykTransform*>(transform)->Uses : 0;
}

int32_t QSCLR_API Q_ClrConvert(void* transform, const void* source, void* dest, int32_t count, int32_t rows,
                               int32_t sourceRowBytes, int32_t destRowBytes) {
  auto* t = static_cast<CmykTransform*>(transform);
  if (t == nullptr || t->Tag != kTag || source == nullptr || dest == nullptr || count < 0 || rows < 0) return -13;
  InterlockedIncrement(&t->Uses);
  for (int32_t r = 0; r < rows; ++r) {
    const auto* in = static_cast<const uint8_t*>(source) + size_t(r) * size_t(sourceRowBytes);
    auto* out = static_cast<uint8_t*>(dest) + size_t(r) * size_t(destRowBytes);
    if (t->BitsPerSample == 8)
      ConvertRow(in, out, count, 255);
    else
      ConvertRow(reinterpret_cast<const uint16_t*>(in), reinterpret_cast<uint16_t*>(out), count, 65535);
  }
  return 1;
}
