// The weights of one axis of a resampling: for each output position, the run of source positions
// that contribute to it and their normalised weights. The resampler is separable, so one table
// per axis describes the whole filter.
#pragma once
#include <cstdint>

// Filters, chosen per axis.
enum class ResizeFilter {
  Triangle,  // bilinear; widened by the reduction factor when reducing, so every pixel counts
  Cubic,     // bicubic (Keys, a = -0.5), for enlarging
  Area,      // area average: each source pixel weighs by how much of the output pixel it covers
};

struct ResizeAxis {
  int32_t Outputs = 0;
  int32_t* First = nullptr;   // first contributing source position, per output
  int32_t* Count = nullptr;   // contributing positions, per output
  int32_t* Offset = nullptr;  // index of the output's first weight in Weights
  float* Weights = nullptr;
  int32_t MaxCount = 0;       // the widest run of any output
};

// Builds the table for sourceLength -> outputLength (both > 0) into blocks from KrnMemAlloc.
// Positions outside the source are folded onto its edge pixels. Returns 1 or -1.
int32_t BuildResizeAxis(ResizeAxis& axis, int32_t sourceLength, int32_t outputLength, ResizeFilter filter);
void FreeResizeAxis(ResizeAxis& axis);
