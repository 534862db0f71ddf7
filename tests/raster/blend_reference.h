#pragma once

// Byte-by-byte statements of the pixel formulas, as plain as they can be
// written, for checking the table routines. Mmx selects the "MMX set"'s
// formula, otherwise the plain set's.

#include "raster/color.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace ref {

inline uint32_t Byte(TColor32 C, int I) { return (C >> (8 * I)) & 0xFF; }
inline uint32_t Alpha(TColor32 C) { return C >> 24; }
inline TColor32 WithAlphaByte(TColor32 C, uint32_t A) { return (C & 0x00FFFFFF) | (A << 24); }

inline std::string Hex(TColor32 C) {
  char text[12];
  std::snprintf(text, sizeof text, "$%08X", C);
  return text;
}

inline uint32_t PlainMixByte(uint32_t x, uint32_t y, uint32_t w) {
  return ((x * w + 128) >> 8) + ((y * (255 - w) + 128) >> 8);
}

inline uint32_t MMXMixByte(uint32_t x, uint32_t y, uint32_t w) {
  return (x * w + y * (256 - w) + 128) >> 8;
}

// The mix of every byte; ColourOnly leaves alpha 0.
inline TColor32 Mix(bool Mmx, TColor32 X, TColor32 Y, uint32_t W, bool ColourOnly = false) {
  TColor32 r = 0;
  for (int i = 0; i < (ColourOnly ? 3 : 4); ++i) {
    const uint32_t x = Byte(X, i), y = Byte(Y, i);
    r |= (Mmx ? MMXMixByte(x, y, W) : PlainMixByte(x, y, W)) << (8 * i);
  }
  return r;
}

inline TColor32 BlendPixel(bool Mmx, TColor32 F, TColor32 B) {
  const uint32_t a = Alpha(F);
  if (Mmx) return Mix(true, F, B, a);
  if (a == 255) return F;
  if (a == 0) return B;
  return Mix(false, F, B, a);
}

// The in-place forms give the new value of the pixel Old.
inline TColor32 BlendPixelInPlace(bool Mmx, TColor32 F, TColor32 Old) {
  const uint32_t a = Alpha(F);
  if (a == 0) return Old;
  if (a == 255) return F;
  return Mix(Mmx, F, Old, a);
}

inline uint32_t MasterWeight(uint32_t Fa, uint32_t M) { return ((M + 1) * Fa) >> 8; }
inline uint32_t RowMasterWeight(uint32_t Fa, uint32_t M) { return ((Fa + 1) * M) >> 8; }

inline TColor32 BlendPixelMaster(bool Mmx, TColor32 F, TColor32 B, uint32_t M) {
  if (Alpha(F) == 0) return B;
  const uint32_t w = MasterWeight(Alpha(F), M);
  if (w == 0) return B;
  return Mix(Mmx, F, B, w, !Mmx);
}

inline TColor32 BlendPixelMasterInPlace(bool Mmx, TColor32 F, TColor32 Old, uint32_t M) {
  return BlendPixelMaster(Mmx, F, Old, M);
}

// The "MMX set"'s BlendRowMaster adds the 1 to the alpha, not to M.
inline TColor32 RowMasterMMX(TColor32 F, TColor32 Old, uint32_t M) {
  if (Alpha(F) == 0) return Old;
  const uint32_t w = RowMasterWeight(Alpha(F), M);
  return w == 0 ? Old : Mix(true, F, Old, w);
}

inline TColor32 CombinePixel(bool Mmx, TColor32 X, TColor32 Y, uint32_t W) {
  if (Mmx) return Mix(true, X, Y, W);
  if (W == 0) return Y;
  if (W == 255) return X;
  return Mix(false, X, Y, W);
}

inline TColor32 CombinePixelInPlace(bool Mmx, TColor32 X, TColor32 Old, uint32_t W) {
  if (W == 0) return Old;
  if (W == 255) return X;
  return Mix(Mmx, X, Old, W, !Mmx);
}

// Merging, from Fa (or the master weight) onward; Fa may be 0 only in the
// plain master form, where Ra then equals Ba.
inline TColor32 MergeColours(bool Mmx, TColor32 F, TColor32 B, int32_t Fa, int32_t Ba) {
  const int32_t ra = Fa + Ba - (Fa * Ba) / 255;
  const int32_t s = (Mmx ? 65535 : 65536) / ra;
  TColor32 r = TColor32(ra) << 24;
  for (int i = 0; i < 3; ++i) {
    const int32_t f = int32_t(Byte(F, i));
    const int32_t bs = (int32_t(Byte(B, i)) * Ba) / 256;
    int32_t p;
    if (Mmx) {
      const int32_t fs = (f * Fa) / 256;
      p = fs + bs - (Fa * bs) / 256;
    } else {
      const int32_t d = (f - bs) * Fa;  // floor of d / 256, also when negative
      p = bs + (d >= 0 ? d / 256 : -((-d + 255) / 256));
    }
    r |= TColor32((p * s) / 256) << (8 * i);
  }
  return r;
}

inline TColor32 MergePixel(bool Mmx, TColor32 F, TColor32 B) {
  const uint32_t fa = Alpha(F), ba = Alpha(B);
  if (fa == 0) return B;
  if (fa == 255 || ba == 0) return F;
  return MergeColours(Mmx, F, B, int32_t(fa), int32_t(ba));
}

inline TColor32 MergePixelWeighted(bool Mmx, TColor32 F, TColor32 B, uint32_t W) {
  return MergePixel(Mmx, WithAlphaByte(F, W), B);
}

inline TColor32 MergePixelMaster(bool Mmx, TColor32 F, TColor32 B, uint32_t M) {
  const uint32_t fa = Alpha(F), ba = Alpha(B);
  const uint32_t w = (fa * M) / 255;
  const TColor32 weighted = WithAlphaByte(F, w);
  if (Mmx) return MergePixel(true, weighted, B);
  if (fa == 255 && M == 255) return F;
  if (fa == 255 && M == 0) return B;
  if (fa == 0) return B;
  if (w == 255 || ba == 0) return weighted;
  return MergeColours(false, F, B, int32_t(w), int32_t(ba));
}

}  // namespace ref
