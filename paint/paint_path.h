// The choice of paint path: the device's depth class and the paint kind for a bitmap.
#pragma once
#include <cstdint>

#include "qsrecords.h"

// Paint kinds.
inline constexpr int32_t kPaintNative = 0;             // pixels go to the device as stored
inline constexpr int32_t kPaintConvert = 1;            // converted to a displayable format first
inline constexpr int32_t kPaintDither = 2;             // dithered to the fixed palette
inline constexpr int32_t kPaintMonoGray = 3;           // 1-bit grey ascending, painted as grey levels
inline constexpr int32_t kPaintMonoGrayInverted = 4;   // 1-bit grey descending, painted as grey levels
inline constexpr int32_t kPaintMonoScaled = 5;         // 1-bit grey ascending, 1-bit scaled path
inline constexpr int32_t kPaintMonoScaledInverted = 6; // 1-bit grey descending, 1-bit scaled path

// A device's planes x bits per pixel as a depth class: 1, 4, 8 or 24.
int32_t DeviceDepthClass(int32_t planesTimesBits);

// The paint kind for a bitmap painted with the given display mode on a device of depth class
// `depth` (1, 4, 8 or 24). The record is only read (IsGrayHighDepth restores what it touches).
int32_t SelectPaintKind(BitmapRecord* bitmap, uint32_t displayMode, int32_t depth);

// Whether a 12 or 16-bit image is grey (Order 2) and, with a window-level LUT, shown as grey.
// Swaps the window bits into LowBit/HighBit for the kernel's test and restores them.
bool IsGrayHighDepth(BitmapRecord* bitmap);

#if defined(_WIN32)
// Measures the device (a null or metafile context counts as 24 bits) and chooses the kind with
// the thread's display mode. Writes nothing when bitmap or depth is null.
void SelectPaintPath(HDC hdc, BitmapRecord* bitmap, int32_t* depth, int32_t* kind);
#endif
