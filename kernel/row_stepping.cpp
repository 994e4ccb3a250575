// Horizontal stepping of one row at its own depth, and the reorder of colour channels between
// component orders. Both run once per painted row, so the byte depths get a loop of their own
// with no per-pixel depth test; packed and 12-bit rows go through the generic pixel access.
#include <cstring>

#include "frame/result_codes.h"
#include "kernel/pixel_format.h"
#include "qskrn.h"

namespace {
// The walk: position x, accumulator acc in [0, denominator). One step adds step to x and
// remainder to acc; reaching the denominator moves x one more.
struct Walk {
  int64_t X;
  int64_t Acc;
  int64_t Step;
  int64_t Remainder;
  int64_t Denominator;
  void Next() {
    X += Step;
    Acc += Remainder;
    if (Acc >= Denominator) {
      Acc -= Denominator;
      ++X;
    }
  }
};

// Source offset (in pixels from the row start) of output pixel i.
int64_t Offset(const Walk& w, int64_t i) { return i * w.Step + (w.Acc + i * w.Remainder) / w.Denominator; }

// A backward walk keeps X negated, so both directions step X upward.
template <int Bytes, int Direction>
void StepBytes(const uint8_t* source, uint8_t* dest, int32_t count, Walk w) {
  for (int32_t i = 0; i < count; ++i, dest += Bytes) {
    std::memcpy(dest, source + Direction * w.X * Bytes, Bytes);
    w.Next();
  }
}

template <int Bytes>
void StepBytes(const uint8_t* source, uint8_t* dest, int32_t count, int32_t direction, Walk w) {
  if (direction > 0)
    StepBytes<Bytes, 1>(source, dest, count, w);
  else
    StepBytes<Bytes, -1>(source, dest, count, w);
}

void StepGeneric(const uint8_t* source, uint8_t* dest, int32_t bits, int32_t count, int32_t direction, Walk w) {
  const uint32_t bytes = RowPayloadBytes(bits, count);
  if (bytes > 0) dest[bytes - 1] = 0;  // the unused bits of a last partial byte read as zero
  for (int32_t i = 0; i < count; ++i) {
    const int64_t x = direction > 0 ? w.X : -w.X;
    StorePixel(dest, bits, i, LoadPixel(source, bits, int32_t(x)));
    w.Next();
  }
}

// Channel sequence of an order: blue first (orders 1 and 5), red first (other colour orders),
// or grey (order 2), which has no channels to exchange.
enum class Sequence { BlueFirst, RedFirst, Grey };

Sequence SequenceOf(int32_t order) {
  if (order == 2) return Sequence::Grey;
  return (order == 1 || order == 5) ? Sequence::BlueFirst : Sequence::RedFirst;
}

// Exchanges the first and third channel of each pixel; channels are channelBytes wide.
void SwapOuterChannels(uint8_t* row, int32_t count, int32_t pixelBytes, int32_t channelBytes) {
  for (int32_t i = 0; i < count; ++i, row += pixelBytes) {
    uint8_t t[2];
    std::memcpy(t, row, size_t(channelBytes));
    std::memcpy(row, row + 2 * channelBytes, size_t(channelBytes));
    std::memcpy(row + 2 * channelBytes, t, size_t(channelBytes));
  }
}

void Swap555Fields(uint8_t* row, int32_t count) {
  for (int32_t i = 0; i < count; ++i, row += 2) {
    const uint32_t v = row[0] | (uint32_t{row[1]} << 8);
    const uint32_t swapped = (v & 0x83E0u) | ((v & 0x1Fu) << 10) | ((v >> 10) & 0x1Fu);
    row[0] = uint8_t(swapped);
    row[1] = uint8_t(swapped >> 8);
  }
}
}  // namespace

int32_t QSAPI KrnConvertRow(const void* source, void* dest, int32_t bitsPerPixel, int32_t first, int32_t count,
                            int32_t direction, int32_t step, int32_t remainder, int32_t denominator,
                            int32_t start) {
  if (source == nullptr || dest == nullptr || !IsSupportedDepth(bitsPerPixel) || count < 0 || first < 0 ||
      (direction != 1 && direction != -1) || step < 0 || denominator <= 0 || remainder < 0 ||
      remainder > denominator || start < 0 || start >= denominator)
    return kResultBadArgument;
  if (count == 0) return kResultOk;
  Walk w{direction > 0 ? first : -int64_t{first}, start, step, remainder, denominator};
  // A backward walk must not pass pixel 0.
  if (direction < 0 && Offset(w, count - 1) > first) return kResultBadArgument;

  const auto* s = static_cast<const uint8_t*>(source);
  auto* d = static_cast<uint8_t*>(dest);
  const bool plainCopy = direction > 0 && (step == 1 && remainder == 0);
  if (plainCopy && bitsPerPixel >= 8 && bitsPerPixel != 12) {
    std::memcpy(d, s + PixelOffsetBytes(bitsPerPixel, first), size_t(count) * size_t(bitsPerPixel / 8));
    return kResultOk;
  }
  switch (bitsPerPixel) {
    case 8: StepBytes<1>(s, d, count, direction, w); break;
    case 16: StepBytes<2>(s, d, count, direction, w); break;
    case 24: StepBytes<3>(s, d, count, direction, w); break;
    case 32: StepBytes<4>(s, d, count, direction, w); break;
    case 48: StepBytes<6>(s, d, count, direction, w); break;
    case 64: StepBytes<8>(s, d, count, direction, w); break;
    default: StepGeneric(s, d, bitsPerPixel, count, direction, w); break;
  }
  return kResultOk;
}

// Reorders the colour channels of count pixels in place from sourceOrder to destOrder. Only
// the channel order changes: the depth stays (sourceBits must equal destBits). palette and
// flags are reserved and must be null and 0.
int32_t QSAPI KrnConvertRowFormat(void* row, int32_t count, int32_t sourceBits, int32_t destBits,
                                  int32_t sourceOrder, int32_t destOrder, const RGBQUAD* palette,
                                  uint32_t flags) {
  if (row == nullptr || count < 0 || sourceBits != destBits || !IsSupportedDepth(sourceBits) ||
      palette != nullptr || flags != 0)
    return kResultBadArgument;
  const Sequence from = SequenceOf(sourceOrder), to = SequenceOf(destOrder);
  if (from == to || from == Sequence::Grey || to == Sequence::Grey || sourceBits <= 12) return kResultOk;
  auto* p = static_cast<uint8_t*>(row);
  switch (sourceBits) {
    case 16: Swap555Fields(p, count); break;
    case 24: SwapOuterChannels(p, count, 3, 1); break;
    case 32: SwapOuterChannels(p, count, 4, 1); break;
    case 48: SwapOuterChannels(p, count, 6, 2); break;
    case 64: SwapOuterChannels(p, count, 8, 2); break;
    default: break;
  }
  return kResultOk;
}
