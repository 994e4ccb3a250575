// Producing the output lines of a paint from the bitmap's rows: fetch the stored row a line
// reads (once, however many lines repeat it), step it to the line's pixels at the source depth
// (KrnConvertRow), and turn it into output pixels with one row routine: a copy, an unpacker, a
// dither kernel, or the 1-bit to grey expansion.
#pragma once
#include <cstdint>

#include "paint/paint_device.h"
#include "paint/paint_geometry.h"
#include "paint/row_kernels.h"
#include "qsrecords.h"

// What a paint sends, chosen from the path kind and the device.
struct PaintOutput {
  int32_t Kind;  // 0 copy, 1 unpack, 2 dither (after falling back where no routine exists)
  int32_t Bits;  // output bits per pixel
  UnpackRowFn Unpack;
  DitherRowFn Dither;
};
// Kind 1 of a 24-bit bitmap is a copy; kind 2 dithers to min(depth, 8) bits; kind 1 unpacks
// by depth (12 and 16-bit grey to 8 bits when shown through a grey palette); other kinds copy.
PaintOutput ChoosePaintOutput(BitmapRecord* bitmap, int32_t depth, int32_t kind);

enum class LineRoutine { Copy, Unpack, Dither, ExpandMono };

struct LinePainter {
  BitmapRecord* Bitmap;
  const PaintGeometry* Geometry;
  LineRoutine Routine;
  PaintOutput Output;
  bool Invert;              // ExpandMono: descending grey palette
  bool AnchorAtBitmap;      // dither pattern fixed to the bitmap (same size) or the destination
  bool ToneOutput;          // 24-bit output passed through PaintLUT
  ColumnWalk Walk;
  int32_t FetchColumn;      // first stored column fetched (rounded down to a whole byte)
  uint32_t FetchBytes;
  int32_t Skip;             // pixels before the first shown one in a copied line
  bool CopyAsStored;        // lines are the stored bytes from the fetched column on
  PaintRowBand Band;
  const uint8_t* Direct;    // the bitmap's own block of rows, read in place; null: fetched
  uint8_t* Fetch;
  uint8_t* Working;         // the stepped row at the source depth
  int32_t* Errors;
  RGBQUAD Palette[256];
  int32_t LastRow;
  const uint8_t* LastLine;
  uint32_t LineBytes;       // bytes of one output line that carry pixels
  bool Started;             // the first line has been produced
};

// Sets up the painter for the geometry. Returns 1 or -1.
int32_t OpenLinePainter(LinePainter& p, BitmapRecord* bitmap, const PaintRowBand* band, const PaintGeometry& g,
                        LineRoutine routine, const PaintOutput& output, bool anchorAtBitmap, uint32_t mode);
// Writes line `line` into dest. Returns 1, or the fetch failure.
int32_t PaintLine(LinePainter& p, int32_t line, uint8_t* dest);
void CloseLinePainter(LinePainter& p);
// Leading pixels a copied line keeps so that it starts on a whole byte (0 unless the painter
// copies rows as stored).
inline int32_t LineSkip(const LinePainter& p) { return p.Skip; }

// Whether the stored rows lie in one block at Bits that may be read in place (Flags 0x2 set,
// none of the storage kinds 0x100 and 0x8000).
bool RowsAddressable(const BitmapRecord& bitmap);

// Passes every byte through the tone table.
void ToneBytes(uint8_t* bytes, uint32_t count, const uint8_t* table);
