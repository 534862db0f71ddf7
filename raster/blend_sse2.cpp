#include "raster/blend.h"
#include "raster/vector_set.h"

#include <emmintrin.h>

namespace vector_set {

namespace {

inline __m128i Unpack(TColor32 C) {
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(C)), _mm_setzero_si128());
}

inline TColor32 Pack(__m128i V) { return TColor32(_mm_cvtsi128_si32(_mm_packus_epi16(V, V))); }

// One pixel, with the prepared weight vector of W and the bias vector. A
// weight outside 0..255 is a caller's error; only its low byte is used, so
// that it cannot read past the table (BlendPixelTest.WeightsAboveTheRange).
inline TColor32 Mix(TColor32 X, TColor32 Y, uint32_t W) {
  const __m128i x = Unpack(X);
  const __m128i y = Unpack(Y);
  const __m128i w = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(WeightVectors[W & 255]));
  const __m128i bias = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(BiasVector));
  __m128i r = _mm_mullo_epi16(_mm_sub_epi16(x, y), w);
  r = _mm_add_epi16(_mm_add_epi16(r, _mm_slli_epi16(y, 8)), bias);
  return Pack(_mm_srli_epi16(r, 8));
}

inline uint32_t RowMasterWeight(uint32_t Alpha, uint32_t M) { return ((Alpha + 1) * M) >> 8; }

// Mixes the four pixels of S into D by the four weights (0..256) in the
// 32-bit lanes of W. The 16-bit words of (y shl 8) + 128 come from unpacking
// the bytes of D above bytes of 128.
inline __m128i Mix4(__m128i S, __m128i D, __m128i W) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i half = _mm_set1_epi8(char(0x80));
  const __m128i pairs = _mm_or_si128(W, _mm_slli_epi32(W, 16));
  const __m128i wLo = _mm_unpacklo_epi32(pairs, pairs);
  const __m128i wHi = _mm_unpackhi_epi32(pairs, pairs);
  const __m128i dLo = _mm_unpacklo_epi8(D, zero);
  const __m128i dHi = _mm_unpackhi_epi8(D, zero);
  __m128i lo = _mm_mullo_epi16(_mm_sub_epi16(_mm_unpacklo_epi8(S, zero), dLo), wLo);
  __m128i hi = _mm_mullo_epi16(_mm_sub_epi16(_mm_unpackhi_epi8(S, zero), dHi), wHi);
  lo = _mm_srli_epi16(_mm_add_epi16(lo, _mm_unpacklo_epi8(half, D)), 8);
  hi = _mm_srli_epi16(_mm_add_epi16(hi, _mm_unpackhi_epi8(half, D)), 8);
  return _mm_packus_epi16(lo, hi);
}

// The weights of BlendRow: the alpha, with 255 raised to 256 so that the mix
// gives an opaque source exactly, as the copy shortcut does (weight 0 gives
// the destination exactly).
inline __m128i RowWeights(__m128i S) {
  const __m128i a = _mm_srli_epi32(S, 24);
  return _mm_sub_epi32(a, _mm_cmpeq_epi32(a, _mm_set1_epi32(255)));
}

// ((Fa + 1) * M) shr 8; the product is at most 65,280, so the low 16-bit
// product is exact.
inline __m128i RowMasterWeights(__m128i S, __m128i Master) {
  const __m128i a1 = _mm_add_epi32(_mm_srli_epi32(S, 24), _mm_set1_epi32(1));
  return _mm_srli_epi32(_mm_mullo_epi16(a1, Master), 8);
}

}  // namespace

TColor32 CombinePixel(TColor32 X, TColor32 Y, uint32_t W) { return Mix(X, Y, W); }

void CombinePixelInPlace(TColor32 X, TColor32* P, uint32_t W) {
  if (W == 0) return;
  *P = W == 255 ? X : Mix(X, *P, W);
}

TColor32 BlendPixel(TColor32 F, TColor32 B) { return Mix(F, B, F >> 24); }

void BlendPixelInPlace(TColor32 F, TColor32* P) {
  const uint32_t a = F >> 24;
  if (a == 0) return;
  *P = a == 255 ? F : Mix(F, *P, a);
}

TColor32 BlendPixelMaster(TColor32 F, TColor32 B, uint32_t M) {
  const uint32_t w = ((M + 1) * (F >> 24)) >> 8;
  return w == 0 ? B : Mix(F, B, w);
}

void BlendPixelMasterInPlace(TColor32 F, TColor32* P, uint32_t M) {
  const uint32_t a = F >> 24;
  if (a == 0) return;
  const uint32_t w = ((M + 1) * a) >> 8;
  if (w == 0) return;
  *P = Mix(F, *P, w);
}

// Eight pixels per step, each shortcut taken for a whole step only (see the
// AVX-512 loop); then one step of four, then single pixels.
void BlendRow(const TColor32* Src, TColor32* Dst, int32_t Count) {
  const __m128i alphaMask = _mm_set1_epi32(int32_t(0xFF000000));
  int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i + 4));
    const __m128i a0 = _mm_and_si128(s0, alphaMask);
    const __m128i a1 = _mm_and_si128(s1, alphaMask);
    __m128i* d0 = reinterpret_cast<__m128i*>(Dst + i);
    __m128i* d1 = reinterpret_cast<__m128i*>(Dst + i + 4);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(a0, a1), alphaMask)) == 0xFFFF) {
      _mm_storeu_si128(d0, s0);
      _mm_storeu_si128(d1, s1);
      continue;
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_or_si128(a0, a1), _mm_setzero_si128())) == 0xFFFF)
      continue;
    _mm_storeu_si128(d0, Mix4(s0, _mm_loadu_si128(d0), RowWeights(s0)));
    _mm_storeu_si128(d1, Mix4(s1, _mm_loadu_si128(d1), RowWeights(s1)));
  }
  if (i + 4 <= Count) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
    __m128i* d = reinterpret_cast<__m128i*>(Dst + i);
    _mm_storeu_si128(d, Mix4(s, _mm_loadu_si128(d), RowWeights(s)));
    i += 4;
  }
  for (; i < Count; ++i) BlendPixelInPlace(Src[i], Dst + i);
}

void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  const __m128i master = _mm_set1_epi32(int32_t(M));
  int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i + 4));
    const __m128i w0 = RowMasterWeights(s0, master);
    const __m128i w1 = RowMasterWeights(s1, master);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_or_si128(w0, w1), _mm_setzero_si128())) == 0xFFFF)
      continue;
    __m128i* d0 = reinterpret_cast<__m128i*>(Dst + i);
    __m128i* d1 = reinterpret_cast<__m128i*>(Dst + i + 4);
    _mm_storeu_si128(d0, Mix4(s0, _mm_loadu_si128(d0), w0));
    _mm_storeu_si128(d1, Mix4(s1, _mm_loadu_si128(d1), w1));
  }
  if (i + 4 <= Count) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
    __m128i* d = reinterpret_cast<__m128i*>(Dst + i);
    _mm_storeu_si128(d, Mix4(s, _mm_loadu_si128(d), RowMasterWeights(s, master)));
    i += 4;
  }
  for (; i < Count; ++i) {
    const uint32_t a = Src[i] >> 24;
    if (a == 0) continue;
    const uint32_t w = RowMasterWeight(a, M);
    if (w != 0) Dst[i] = Mix(Src[i], Dst[i], w);
  }
}

}  // namespace vector_set
