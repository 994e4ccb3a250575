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

#ifdef __cplusplus
}
#endif

#endif
