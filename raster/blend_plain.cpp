#include "raster/plain_set.h"

#include <cstring>

namespace plain_set {

namespace {

constexpr uint32_t kRedBlue = 0x00FF00FF;
constexpr uint32_t kAlphaGreen = 0xFF00FF00;
constexpr uint32_t kGreen = 0x0000FF00;
constexpr uint32_t kRound = 0x00800080;

// (x * w + 128) shr 8 for the four bytes of X, two bytes per multiplication:
// each 16-bit lane holds at most 255 * 255 + 128, so no lane carries.
inline TColor32 Scale(TColor32 X, uint32_t W) {
  const uint32_t redBlue = (((X & kRedBlue) * W + kRound) >> 8) & kRedBlue;
  const uint32_t alphaGreen = (((X & kAlphaGreen) >> 8) * W + kRound) & kAlphaGreen;
  return redBlue | alphaGreen;
}

// The same for red, green and blue; the alpha byte comes out 0.
inline TColor32 ScaleColour(TColor32 X, uint32_t W) {
  const uint32_t redBlue = (((X & kRedBlue) * W + kRound) >> 8) & kRedBlue;
  const uint32_t green = (((X & kGreen) >> 8) * W + kRound) & kGreen;
  return redBlue | green;
}

inline TColor32 Mix(TColor32 X, TColor32 Y, uint32_t W) {
  return Scale(X, W) + Scale(Y, W ^ 255);
}

inline TColor32 MixColour(TColor32 X, TColor32 Y, uint32_t W) {
  return ScaleColour(X, W) + ScaleColour(Y, W ^ 255);
}

inline uint32_t MasterWeight(uint32_t Alpha, uint32_t M) { return ((M + 1) * Alpha) >> 8; }

inline void BlendInPlace(TColor32 F, TColor32* P) {
  const uint32_t a = F >> 24;
  if (a == 0) return;
  *P = a == 255 ? F : Mix(F, *P, a);
}

inline void BlendMasterInPlace(TColor32 F, TColor32* P, uint32_t M) {
  const uint32_t a = F >> 24;
  if (a == 0) return;
  const uint32_t w = MasterWeight(a, M);
  if (w == 0) return;
  *P = MixColour(F, *P, w);
}

}  // namespace

TColor32 PlainMix(TColor32 X, TColor32 Y, uint32_t W) { return Mix(X, Y, W); }
TColor32 PlainMixColour(TColor32 X, TColor32 Y, uint32_t W) { return MixColour(X, Y, W); }

TColor32 CombinePixel(TColor32 X, TColor32 Y, uint32_t W) {
  if (W == 0) return Y;
  if (W == 255) return X;
  return Mix(X, Y, W);
}

void CombinePixelInPlace(TColor32 X, TColor32* P, uint32_t W) {
  if (W == 0) return;
  *P = W == 255 ? X : MixColour(X, *P, W);
}

TColor32 BlendPixel(TColor32 F, TColor32 B) {
  const uint32_t a = F >> 24;
  if (a == 255) return F;
  if (a == 0) return B;
  return Mix(F, B, a);
}

void BlendPixelInPlace(TColor32 F, TColor32* P) { BlendInPlace(F, P); }

TColor32 BlendPixelMaster(TColor32 F, TColor32 B, uint32_t M) {
  const uint32_t a = F >> 24;
  if (a == 0) return B;
  const uint32_t w = MasterWeight(a, M);
  if (w == 0) return B;
  return MixColour(F, B, w);
}

void BlendPixelMasterInPlace(TColor32 F, TColor32* P, uint32_t M) { BlendMasterInPlace(F, P, M); }

// Runs of transparent and of opaque pixels are passed over or copied in
// loops of their own, two pixels per test, which keeps the branch predictor
// on the run.
void BlendRow(const TColor32* Src, TColor32* Dst, int32_t Count) {
  constexpr uint64_t kTwoAlphas = 0xFF000000FF000000;
  int32_t i = 0;
  while (i < Count) {
    const uint32_t a = Src[i] >> 24;
    if (a == 0) {
      ++i;
      for (uint64_t two; i + 2 <= Count; i += 2) {
        std::memcpy(&two, Src + i, sizeof two);
        if ((two & kTwoAlphas) != 0) break;
      }
      while (i < Count && Src[i] < 0x01000000) ++i;
    } else if (a == 255) {
      Dst[i] = Src[i];
      ++i;
      for (uint64_t two; i + 2 <= Count; i += 2) {
        std::memcpy(&two, Src + i, sizeof two);
        if ((two & kTwoAlphas) != kTwoAlphas) break;
        std::memcpy(Dst + i, &two, sizeof two);
      }
      while (i < Count && Src[i] >= 0xFF000000) {
        Dst[i] = Src[i];
        ++i;
      }
    } else {
      // Alphas 1..254 are exactly those with a - 1 below 254.
      uint32_t w = a;
      do {
        Dst[i] = Mix(Src[i], Dst[i], w);
        ++i;
      } while (i < Count && (w = Src[i] >> 24) - 1 < 254);
    }
  }
}

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  for (int32_t i = 0; i < Count; ++i) BlendMasterInPlace(Src[i], Dst + i, M);
}

}  // namespace plain_set
