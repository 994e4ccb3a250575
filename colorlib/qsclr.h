/* The colour-conversion library stand-in: transforms from interleaved CMYK samples (8 or 16
 * bits each) to blue-green-red pixels of the same sample size. Plain C, stdcall on 32-bit
 * Windows. */
#ifndef QSCLR_H
#define QSCLR_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define QSCLR_API __stdcall
#else
#define QSCLR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A transform for samples of bitsPerSample (8 or 16) bits; null otherwise or without memory. */
void* QSCLR_API ClrCreateCmykTransform(int32_t bitsPerSample);
void QSCLR_API ClrDeleteTransform(void* transform);
/* How many conversions the transform has made. */
int32_t QSCLR_API ClrTransformUses(const void* transform);
/* count pixels of `rows` rows: 4 samples per source pixel, 3 per destination pixel; 1 or -13. */
int32_t QSCLR_API Q_ClrConvert(void* transform, const void* source, void* dest, int32_t count, int32_t rows,
                               int32_t sourceRowBytes, int32_t destRowBytes);

#ifdef __cplusplus
}
#endif

#endif
