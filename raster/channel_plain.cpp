#include "raster/plain_set.h"

#include <algorithm>

namespace plain_set {

namespace {

// Applies Op to the four byte pairs of C1 and C2; Op returns 0..255.
template <typename Op>
inline TColor32 PerByte(TColor32 C1, TColor32 C2, Op op) {
  TColor32 result = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int32_t c1 = int32_t(C1 >> shift) & 0xFF;
    const int32_t c2 = int32_t(C2 >> shift) & 0xFF;
    result |= TColor32(op(c1, c2)) << shift;
  }
  return result;
}

}  // namespace

TColor32 ChannelAdd(TColor32 C1, TColor32 C2) {
  return PerByte(C1, C2, [](int32_t a, int32_t b) { return std::min(a + b, 255); });
}

TColor32 ChannelSubtract(TColor32 C1, TColor32 C2) {
  return PerByte(C1, C2, [](int32_t a, int32_t b) { return std::max(a - b, 0); });
}

TColor32 ChannelProduct(TColor32 C1, TColor32 C2) {
  return PerByte(C1, C2, [](int32_t a, int32_t b) { return (a * b) >> 8; });
}

// The second operand divided by the first; a zero divisor gives 255.
TColor32 ChannelDivide(TColor32 C1, TColor32 C2) {
  return PerByte(C1, C2,
                 [](int32_t a, int32_t b) { return a == 0 ? 255 : std::min((b * 256) / a, 255); });
}

TColor32 ChannelModulate(TColor32 C1, TColor32 C2) {
  return PerByte(C1, C2, [](int32_t a, int32_t b) { return std::min((a * b) >> 8, 255); });
}

TColor32 ChannelMax(TColor32 C1, TColor32 C2) {
  return PerByte(C1, C2, [](int32_t a, int32_t b) { return std::max(a, b); });
}

TColor32 ChannelMin(TColor32 C1, TColor32 C2) {
  return PerByte(C1, C2, [](int32_t a, int32_t b) { return std::min(a, b); });
}

TColor32 ChannelDifference(TColor32 C1, TColor32 C2) {
  return PerByte(C1, C2, [](int32_t a, int32_t b) { return a > b ? a - b : b - a; });
}

TColor32 ChannelExclusion(TColor32 C1, TColor32 C2) {
  return PerByte(C1, C2, [](int32_t a, int32_t b) { return a + b - ((a * b) >> 7); });
}

}  // namespace plain_set
