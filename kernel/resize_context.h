// The state of one resampling sequence (KrnStartResize .. KrnStopResize). Source rows are
// decoded to float channels, resampled horizontally once and kept in a small ring of rows, and
// every output row is the weighted sum of the ring rows it needs, written at the output depth.
#pragma once
#include <cstdint>

#include "kernel/resize_axis.h"
#include "qskrn.h"

struct ResizeContext {
  const BitmapRecord* Source;
  KrnRowSource Rows;  // null: rows come from KrnGetBitmapRow
  const void* RowContext;
  int32_t Width, Height;  // output size
  int32_t OutBits;
  uint32_t Options;

  // How a source pixel becomes channels. Colour channels are kept in output byte order
  // (blue, green, red when the options ask for it, else the stored byte order).
  int32_t Channels;        // 1 grey, 3 colour
  bool ReverseChannels;    // stored bytes run red, green, blue and output wants blue first
  RGBQUAD Palette[256];    // sources of 8 bits or fewer
  const uint32_t* Lut;     // deep grey shown through a window-level table (null: grey levels)
  int32_t LutLength;
  int32_t GreyShift;
  uint32_t GreyMask;

  ResizeAxis X, Y;
  uint8_t* Fetch;   // one source row as stored
  float* Decoded;   // one source row as channels
  int32_t DecodedFirst, DecodedEnd;  // source columns the decoded row needs

  // Ring of horizontally resampled rows for the output columns [Column, Column + Count).
  int32_t Column, Count, Capacity;
  int32_t Slots;
  int32_t* SlotRow;  // source row held by each slot, -1 when empty
  float* Ring;
  float* Sum;        // the output row being built, Count x Channels
  int32_t* Errors;   // error row of the error-diffusion dither, (Capacity + 2) x 3
};

// Writes Sum (already weighted) to dest at the output depth, dithering when the options ask.
void WriteResizedRow(ResizeContext& context, uint8_t* dest, int32_t row);
