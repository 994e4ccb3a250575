// Result codes of every exported function: 1 for success, negative numbers for failures.
// Callers see plain numbers; these names exist only inside the library.
#pragma once
#include <cstdint>

inline constexpr int32_t kResultOk = 1;
inline constexpr int32_t kResultFalse = 0;              // "no object" from handle, count and yes/no functions
inline constexpr int32_t kResultNoMemory = -1;
inline constexpr int32_t kResultNoBitmap = -2;          // missing bitmap, or no pixel storage
inline constexpr int32_t kResultSeekFailed = -4;
inline constexpr int32_t kResultShortRead = -7;
inline constexpr int32_t kResultBadMetafile = -9;
inline constexpr int32_t kResultMagnifierSizeDiffers = -11;
inline constexpr int32_t kResultBadArgument = -13;
inline constexpr int32_t kResultOpenFailed = -14;
inline constexpr int32_t kResultWindowFailed = -91;
inline constexpr int32_t kResultBadStructSize = -789;
inline constexpr int32_t kResultNoColorLibrary = -807;
inline constexpr int32_t kResultNullBitmap = -814;
inline constexpr int32_t kResultNoOverlay = -815;
inline constexpr int32_t kResultNoScan = -1360;
