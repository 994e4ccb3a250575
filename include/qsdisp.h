/* QSDSP14E: the display library of the imaging toolkit. Every function is stdcall on 32-bit
 * Windows and returns a signed 32-bit result code (1 success, negative failure) or a handle.
 * Records come from qsrecords.h; the kernel library's services from qskrn.h. Plain C. */
#ifndef QSDISP_H
#define QSDISP_H

#include "qsrecords.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- display mode (per thread) ---- */
uint32_t QSAPI Q_SetDisplayMode(uint32_t mask, uint32_t value); /* returns the previous word */
uint32_t QSAPI Q_GetDisplayMode(void);

/* ---- painting: tone and palette ----
 * Tone settings of a bitmap, folded into its PaintLUT: intensity and contrast -1000..1000,
 * gamma in hundredths (100 neutral, 0 refused). Setters return 1 or a code; getters the value. */
int32_t QSAPI Q_SetPaintIntensity(BitmapRecord* bitmap, int32_t value);
int32_t QSAPI Q_SetPaintContrast(BitmapRecord* bitmap, int32_t value);
int32_t QSAPI Q_SetPaintGamma(BitmapRecord* bitmap, uint32_t value);
int32_t QSAPI Q_GetPaintIntensity(const BitmapRecord* bitmap);
int32_t QSAPI Q_GetPaintContrast(const BitmapRecord* bitmap);
int32_t QSAPI Q_GetPaintGamma(const BitmapRecord* bitmap); /* 0 for a wrong record size */
#if defined(_WIN32)
/* The logical palette to realise before painting the bitmap into hdc (null: a 24-bit device);
 * 0 when none is needed or on failure. The caller deletes it. */
HPALETTE QSAPI Q_CreatePaintPalette(HDC hdc, BitmapRecord* bitmap);
#endif

#ifdef __cplusplus
}
#endif

#endif
