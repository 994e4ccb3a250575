// The layout of a packed device-independent bitmap as the kernel reads it: which header kind,
// how the pixels are coded, where the colour table and the rows lie.
#pragma once
#include <cstdint>

struct DibLayout {
  uint32_t HeaderBytes;     // 12 (core header) or 40 and its longer forms
  int32_t Width, Height;    // Height is positive; TopDown says which row comes first
  bool TopDown;
  int32_t Bits;             // 1, 4, 8, 16, 24 or 32
  bool BitFields;           // 16 and 32 bits: Masks hold red, green and blue
  uint32_t Masks[3];
  int32_t TableEntries;     // entries between the header and the rows (masks count for three)
  int32_t EntryBytes;       // 3 in a core header's table, else 4
  int32_t PaletteEntries;   // colour entries to read, at most 1 << Bits
  int32_t XPelsPerMeter, YPelsPerMeter;
  uint32_t RowBytes;        // stored rows are padded to 4 bytes
  uint32_t ImageBytes;
};

// Reads and checks a header. Returns 1, or -13 for a header kind, depth, compression or size the
// kernel does not take (run-length and embedded compressed images among them).
int32_t ReadDibLayout(const void* header, DibLayout& layout);

// Bytes from the header's start to the first pixel row.
inline uint32_t DibBitsOffset(const DibLayout& layout) {
  return layout.HeaderBytes + uint32_t(layout.TableEntries) * uint32_t(layout.EntryBytes);
}
