// Named bits of the per-thread DisplayMode word that the painting engine reads.
#pragma once
#include <cstdint>

inline constexpr uint32_t kModeOrderedDither = 0x001;  // ordered dither instead of error diffusion
inline constexpr uint32_t kModeWholeBitmap = 0x002;    // whole-bitmap transfer in the scaled path
inline constexpr uint32_t kModeIndexColors = 0x004;    // palette-index colour table for <= 8-bit output
inline constexpr uint32_t kModeFixedPalette = 0x008;   // dither to the fixed palette on palette devices
inline constexpr uint32_t kModeMonoAsGray = 0x010;     // 1-bit grey bitmaps painted as grey levels
inline constexpr uint32_t kModeClusterDither = 0x020;  // 1-bit ordered dither uses the clustered-dot screen
inline constexpr uint32_t kModeMonoScaled = 0x040;     // 1-bit grey bitmaps take the 1-bit scaled path
inline constexpr uint32_t kModeWideDither = 0x080;     // dither choice widened to 8-bit devices
inline constexpr uint32_t kModeCubePalette = 0x100;    // 8-bit fixed palette is the 216-colour cube
inline constexpr uint32_t kModeResampleA = 0x200;      // rows from a resampling context, option 0x10
inline constexpr uint32_t kModeResampleB = 0x400;      // rows from a resampling context, option 0x20
