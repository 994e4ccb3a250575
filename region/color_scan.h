// The row walk shared by the colour-range regions and the magic wand: every pixel of every row
// is judged by a test, palette bitmaps once per palette entry, and each row's answers (1 pass,
// 0 not, one byte per pixel) go to a sink. Also the sink that turns answers into a region.
#pragma once
#include <cstdint>
#include <cstring>

#include "frame/result_codes.h"
#include "qskrn.h"
#include "region/color_pixels.h"
#include "region/rgn_builder.h"

// Frees a kernel memory block when it goes out of scope.
struct MemBlock {
  void* Block = nullptr;
  explicit MemBlock(uint32_t bytes) : Block(KrnMemAlloc(bytes > 0 ? bytes : 1)) {}
  ~MemBlock() { KrnMemFree(Block); }
  MemBlock(const MemBlock&) = delete;
  MemBlock& operator=(const MemBlock&) = delete;
};

// paletteAnswers (palette bitmaps only, may be null): the answer for each index, used instead
// of testing the palette colours. sink(y, answers) returns a result code; anything but 1 stops
// the walk and is returned.
template <class Test, class Sink>
int32_t ClassifyRows(PixelRows& rows, const Test& test, const uint8_t* paletteAnswers, Sink&& sink) {
  const int32_t width = rows.Bitmap->Width, height = rows.Bitmap->Height;
  uint8_t answers[256] = {};
  if (rows.IndexBits != 0) {
    if (paletteAnswers != nullptr) {
      std::memcpy(answers, paletteAnswers, sizeof answers);
    } else {
      for (int32_t i = 0; i < (1 << rows.IndexBits); ++i) {
        const RGBQUAD& q = rows.Palette[i];
        answers[i] = test(Channels{q.rgbRed, q.rgbGreen, q.rgbBlue}) ? 1 : 0;
      }
    }
  }
  const uint32_t perPixel = rows.IndexBits != 0 ? 2 : uint32_t(sizeof(Channels)) + 1;
  MemBlock work(uint32_t(width) * perPixel + 4);  // + 4: the colours start 4-byte aligned
  if (work.Block == nullptr) return kResultNoMemory;
  auto* pass = static_cast<uint8_t*>(work.Block);
  for (int32_t y = 0; y < height; ++y) {
    int32_t code;
    if (rows.IndexBits != 0) {
      uint8_t* indices = pass + width;
      code = ReadIndexRow(rows, y, indices);
      for (int32_t x = 0; code == kResultOk && x < width; ++x) pass[x] = answers[indices[x]];
    } else {
      auto* colours = reinterpret_cast<Channels*>(pass + width + (4 - width % 4) % 4);
      code = ReadChannelRow(rows, y, colours);
      for (int32_t x = 0; code == kResultOk && x < width; ++x) pass[x] = test(colours[x]) ? 1 : 0;
    }
    if (code == kResultOk) code = sink(y, pass);
    if (code != kResultOk) return code;
  }
  return kResultOk;
}

// Each maximal run of passing pixels of a row becomes one segment.
inline void AppendRuns(RgnBuilder& builder, const uint8_t* pass, int32_t width) {
  int32_t x = 0;
  while (x < width) {
    while (x < width && pass[x] == 0) ++x;
    const int32_t start = x;
    while (x < width && pass[x] != 0) ++x;
    RgnAppend(builder, start, x);
  }
}

// Builds the region of the pixels that pass, in the bitmap's own coordinates. 1 with *out set
// (owned by the caller), or a failure code with nothing held.
template <class Test>
int32_t ScanColorRegion(PixelRows& rows, const Test& test, const uint8_t* paletteAnswers, RgnRecord** out) {
  const int32_t width = rows.Bitmap->Width;
  RgnBuilder builder;
  if (RgnBegin(builder, RECT{0, 0, width, rows.Bitmap->Height}) != kResultOk) return kResultNoMemory;
  const int32_t code = ClassifyRows(rows, test, paletteAnswers, [&](int32_t, const uint8_t* pass) {
    AppendRuns(builder, pass, width);
    return RgnEndRow(builder) == kResultOk ? kResultOk : kResultNoMemory;
  });
  if (code != kResultOk) {
    if (builder.Record != nullptr) RgnAbandon(builder);
    return code;
  }
  RgnFinish(builder);
  *out = builder.Record;
  return kResultOk;
}
