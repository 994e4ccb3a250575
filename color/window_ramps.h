// Colour ramps written into window-level tables: entries are 0x00RRGGBB (blue in byte 0), the
// colours given as COLORREF. Positions are pixel values; a signed table keeps a negative value v
// at v + length. Values outside the table are never written.
#pragma once
#include <cstdint>

inline constexpr uint32_t kRampLinear = 0x10, kRampExponential = 0x20, kRampLogarithmic = 0x30,
                          kRampSigmoid = 0x40;

struct WindowTable {
  uint32_t* Entries;
  int32_t Length;
  bool Signed;
};

struct RampShape {
  uint32_t Kind;     // one of the kRamp values
  double Steepness;  // a: the caller's factor x 0.1
};

// Values first .. last (inclusive) in one colour.
void FillSpan(const WindowTable& table, int32_t first, int32_t last, uint32_t colour);
// Values p .. q from colour a to colour b along the ramp; entry q is b. p == q writes one entry.
void FillRamp(const WindowTable& table, int32_t p, int32_t q, uint32_t a, uint32_t b, const RampShape& shape);
