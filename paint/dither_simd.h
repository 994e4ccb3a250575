// SSE2 bodies for the hottest kernels: ordered dither of 24 and 32-bit rows to 8 bits with an
// identity tone table. Four pixels sit in four 32-bit lanes (red, green, blue and one byte of the
// next pixel); the matrix offset is added with unsigned saturation, which is exactly the clamp to
// 0..255, and the palette index is formed with shifts and masks in the lanes. Each routine does a
// multiple of 16 pixels and returns how many; the caller finishes the row with the plain loop.
#pragma once
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#if defined(__SSE2__)
namespace dither_simd_detail {
// Pixels 3i .. 3i + 2 of a 16-byte load (i = 0..3) spread to lane i.
inline __m128i SpreadRgb24(__m128i v) {
  const __m128i p01 = _mm_unpacklo_epi32(v, _mm_srli_si128(v, 3));
  const __m128i p23 = _mm_unpacklo_epi32(_mm_srli_si128(v, 6), _mm_srli_si128(v, 9));
  return _mm_unpacklo_epi64(p01, p23);
}

// Offsets for four consecutive pixels starting at matrix column phase `phase`, split into the
// part to add and the part to subtract, each byte of a pixel's three channels carrying it.
struct OffsetPair {
  __m128i Add, Sub;
};
inline OffsetPair Offsets(const int32_t offsets[8], int32_t phase) {
  alignas(16) uint32_t add[4], sub[4];
  for (int32_t i = 0; i < 4; ++i) {
    const int32_t d = offsets[(phase + i) & 7];
    const uint32_t m = uint32_t(d < 0 ? -d : d) * 0x010101u;
    add[i] = d > 0 ? m : 0;
    sub[i] = d < 0 ? m : 0;
  }
  return {_mm_load_si128(reinterpret_cast<const __m128i*>(add)), _mm_load_si128(reinterpret_cast<const __m128i*>(sub))};
}

// 3-3-2 index of the clamped lanes: red top 3 bits, green top 3 bits, blue top 2 bits.
template <bool kBlueFirst>
inline __m128i Index332(__m128i x) {
  const __m128i red = kBlueFirst ? _mm_srli_epi32(x, 16) : x;
  const __m128i blue = kBlueFirst ? _mm_srli_epi32(x, 6) : _mm_srli_epi32(x, 22);
  return _mm_or_si128(_mm_or_si128(_mm_and_si128(red, _mm_set1_epi32(0xE0)),
                                   _mm_and_si128(_mm_srli_epi32(x, 11), _mm_set1_epi32(0x1C))),
                      _mm_and_si128(blue, _mm_set1_epi32(0x03)));
}

// Cube index 36 (r / 51) + 6 (g / 51) + b / 51; v / 51 = (v x 1286) >> 16 for v in 0..255.
template <bool kBlueFirst>
inline __m128i IndexCube(__m128i x) {
  const __m128i low = _mm_set1_epi32(0x00FF00FF);
  const __m128i div51 = _mm_set1_epi16(1286);
  const __m128i outer = _mm_mulhi_epu16(_mm_and_si128(x, low), div51);                          // byte 0, byte 2
  const __m128i green = _mm_mulhi_epu16(_mm_and_si128(_mm_srli_epi32(x, 8), _mm_set1_epi32(0xFF)), div51);
  const __m128i weights = kBlueFirst ? _mm_set1_epi32(0x00240001) : _mm_set1_epi32(0x00010024);
  return _mm_add_epi32(_mm_madd_epi16(outer, weights), _mm_madd_epi16(green, _mm_set1_epi32(6)));
}
}  // namespace dither_simd_detail

// count pixels from src (4 bytes per pixel when kBytes is 4, else 3) to dst; offsets[8] are the
// matrix offsets of the row by column phase, `phase` the phase of the first pixel.
template <int kBytes, bool kBlueFirst>
int32_t OrderedRgbTo8Sse2(uint8_t* dst, const uint8_t* src, int32_t count, const int32_t offsets[8], int32_t phase,
                          bool cube) {
  using namespace dither_simd_detail;
  // A 24-bit group of four is read with a 16-byte load: keep 4 bytes of the row after the last.
  const int32_t usable = kBytes == 3 ? count - 2 : count;
  const int32_t done = usable > 0 ? usable & ~15 : 0;
  const OffsetPair even = Offsets(offsets, phase), odd = Offsets(offsets, phase + 4);
  for (int32_t i = 0; i < done; i += 16, src += 16 * kBytes, dst += 16) {
    __m128i index[4];
    for (int32_t g = 0; g < 4; ++g) {
      const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + g * 4 * kBytes));
      const __m128i lanes = kBytes == 3 ? SpreadRgb24(raw) : raw;
      const OffsetPair& d = (g & 1) ? odd : even;
      const __m128i x = _mm_subs_epu8(_mm_adds_epu8(lanes, d.Add), d.Sub);
      index[g] = cube ? IndexCube<kBlueFirst>(x) : Index332<kBlueFirst>(x);
    }
    const __m128i words = _mm_packs_epi32(index[0], index[1]);
    const __m128i words2 = _mm_packs_epi32(index[2], index[3]);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_packus_epi16(words, words2));
  }
  return done;
}
#else
template <int kBytes, bool kBlueFirst>
int32_t OrderedRgbTo8Sse2(uint8_t*, const uint8_t*, int32_t, const int32_t*, int32_t, bool) {
  return 0;
}
#endif
