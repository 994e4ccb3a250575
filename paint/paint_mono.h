// 1-bit rows shown as grey levels: each bit becomes a byte of 0 or 255.
#pragma once
#include <array>
#include <cstdint>

// Entry v holds, for bits 7 down to 0 of v, 255 where the bit is set and 0 where it is clear.
constexpr std::array<std::array<uint8_t, 8>, 256> BitToByteTable = [] {
  std::array<std::array<uint8_t, 8>, 256> table{};
  for (int v = 0; v < 256; ++v)
    for (int b = 0; b < 8; ++b) table[v][b] = (v >> (7 - b)) & 1 ? 255 : 0;
  return table;
}();
static_assert(BitToByteTable[0xA5] == std::array<uint8_t, 8>{255, 0, 255, 0, 0, 255, 0, 255});

// Writes n bytes, one per source bit from bit x on (most significant bit first), each 255 or 0;
// with invert every source byte is complemented first.
void ExpandMonoRow(uint8_t* dest, const uint8_t* source, int32_t x, int32_t n, int32_t invert);
