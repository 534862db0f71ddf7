#include "raster/plain_set.h"

#include <array>

namespace plain_set {

namespace {

// 65,536 div Ra for every result alpha; entry 0 is never used.
constexpr std::array<uint32_t, 256> kScale = [] {
  std::array<uint32_t, 256> t{};
  for (uint32_t r = 1; r < 256; ++r) t[r] = 65536 / r;
  return t;
}();

inline TColor32 WithAlphaByte(TColor32 C, uint32_t A) { return (C & 0x00FFFFFF) | (A << 24); }

// Steps 2 to 4 of the merge, with Fa = 0 allowed (then Ra = Ba): P is
// b' + floor((f - b') * Fa / 256), which the arithmetic shift rounds down.
TColor32 MergeByAlpha(TColor32 F, TColor32 B, int32_t Fa, int32_t Ba) {
  const int32_t ra = Fa + Ba - (Fa * Ba) / 255;
  const int32_t s = int32_t(kScale[ra]);
  TColor32 result = TColor32(ra) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const int32_t f = int32_t(F >> shift) & 0xFF;
    const int32_t b = ((int32_t(B >> shift) & 0xFF) * Ba) >> 8;
    const int32_t p = b + (((f - b) * Fa) >> 8);
    result |= TColor32((p * s) >> 8) << shift;
  }
  return result;
}

inline TColor32 Merge(TColor32 F, TColor32 B) {
  const uint32_t fa = F >> 24;
  const uint32_t ba = B >> 24;
  if (fa == 255) return F;
  if (fa == 0) return B;
  if (ba == 0) return F;
  return MergeByAlpha(F, B, int32_t(fa), int32_t(ba));
}

inline TColor32 MergeMaster(TColor32 F, TColor32 B, uint32_t M) {
  const uint32_t fa = F >> 24;
  if (fa == 255 && M == 255) return F;
  if (fa == 255 && M == 0) return B;
  if (fa == 0) return B;
  // Only the low byte of an out-of-range weight is kept, as in the alpha
  // byte it goes into, so that it cannot index past the scale table.
  const uint32_t w = ((fa * M) / 255) & 255;
  const TColor32 weighted = WithAlphaByte(F, w);
  if (w == 255) return weighted;
  const uint32_t ba = B >> 24;
  if (ba == 0) return weighted;
  return MergeByAlpha(F, B, int32_t(w), int32_t(ba));
}

}  // namespace

TColor32 MergePixel(TColor32 F, TColor32 B) { return Merge(F, B); }

void MergePixelInPlace(TColor32 F, TColor32* P) { *P = Merge(F, *P); }

TColor32 MergePixelWeighted(TColor32 F, TColor32 B, uint32_t W) {
  return Merge(WithAlphaByte(F, W), B);
}

void MergePixelWeightedInPlace(TColor32 F, TColor32* P, uint32_t W) {
  *P = Merge(WithAlphaByte(F, W), *P);
}

TColor32 MergePixelMaster(TColor32 F, TColor32 B, uint32_t M) { return MergeMaster(F, B, M); }

void MergePixelMasterInPlace(TColor32 F, TColor32* P, uint32_t M) { *P = MergeMaster(F, *P, M); }

void MergeRow(const TColor32* Src, TColor32* Dst, int32_t Count) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = Merge(Src[i], Dst[i]);
}

void MergeRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = MergeMaster(Src[i], Dst[i], M);
}

}  // namespace plain_set
