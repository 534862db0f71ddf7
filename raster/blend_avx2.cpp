// Rows in 256-bit vectors; the arithmetic is that of the SSE2 loop.
#include "raster/vector_set.h"

#include <immintrin.h>

namespace vector_set {

namespace {

// Each 128-bit half unpacks its pixels 0-1 into the low words and 2-3 into
// the high words; these controls copy each pixel's 16-bit weight to its four
// words in the same order.
inline __m256i SpreadLow(__m256i W) {
  const __m256i c = _mm256_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5,
                                     0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5);
  return _mm256_shuffle_epi8(W, c);
}

inline __m256i SpreadHigh(__m256i W) {
  const __m256i c = _mm256_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13,
                                     8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13);
  return _mm256_shuffle_epi8(W, c);
}

// (x - y) * w + (y shl 8) + 128, shifted down 8, per 16-bit lane.
inline __m256i Mix8(__m256i S, __m256i D, __m256i W) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i half = _mm256_set1_epi8(char(0x80));
  const __m256i dLo = _mm256_unpacklo_epi8(D, zero);
  const __m256i dHi = _mm256_unpackhi_epi8(D, zero);
  __m256i lo = _mm256_mullo_epi16(_mm256_sub_epi16(_mm256_unpacklo_epi8(S, zero), dLo), SpreadLow(W));
  __m256i hi = _mm256_mullo_epi16(_mm256_sub_epi16(_mm256_unpackhi_epi8(S, zero), dHi), SpreadHigh(W));
  lo = _mm256_srli_epi16(_mm256_add_epi16(lo, _mm256_unpacklo_epi8(half, D)), 8);
  hi = _mm256_srli_epi16(_mm256_add_epi16(hi, _mm256_unpackhi_epi8(half, D)), 8);
  return _mm256_packus_epi16(lo, hi);
}

// Opaque raised to weight 256: the mix then gives the source exactly.
inline __m256i RowWeights(__m256i S) {
  const __m256i a = _mm256_srli_epi32(S, 24);
  return _mm256_sub_epi32(a, _mm256_cmpeq_epi32(a, _mm256_set1_epi32(255)));
}

inline __m256i RowMasterWeights(__m256i S, __m256i Master) {
  const __m256i a1 = _mm256_add_epi32(_mm256_srli_epi32(S, 24), _mm256_set1_epi32(1));
  return _mm256_srli_epi32(_mm256_mullo_epi16(a1, Master), 8);
}

}  // namespace

// 32 pixels per step, shortcuts for whole steps (see the AVX-512 loop).
void BlendRowAVX2(const TColor32* Src, TColor32* Dst, int32_t Count) {
  const __m256i alphaMask = _mm256_set1_epi32(int32_t(0xFF000000));
  int32_t i = 0;
  for (; i + 32 <= Count; i += 32) {
    __m256i s[4];
    __m256i all = alphaMask, any = _mm256_setzero_si256();
    for (int k = 0; k < 4; ++k) {
      s[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + i + 8 * k));
      all = _mm256_and_si256(all, s[k]);
      any = _mm256_or_si256(any, s[k]);
    }
    __m256i* d = reinterpret_cast<__m256i*>(Dst + i);
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(all, alphaMask), alphaMask)) == -1) {
      for (int k = 0; k < 4; ++k) _mm256_storeu_si256(d + k, s[k]);
      continue;
    }
    if (_mm256_testz_si256(any, alphaMask)) continue;
    for (int k = 0; k < 4; ++k)
      _mm256_storeu_si256(d + k, Mix8(s[k], _mm256_loadu_si256(d + k), RowWeights(s[k])));
  }
  BlendRow(Src + i, Dst + i, Count - i);
}

void BlendRowMasterAVX2(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  const __m256i master = _mm256_set1_epi32(int32_t(M));
  int32_t i = 0;
  for (; i + 32 <= Count; i += 32) {
    __m256i s[4], w[4];
    __m256i any = _mm256_setzero_si256();
    for (int k = 0; k < 4; ++k) {
      s[k] = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + i + 8 * k));
      w[k] = RowMasterWeights(s[k], master);
      any = _mm256_or_si256(any, w[k]);
    }
    if (_mm256_testz_si256(any, any)) continue;
    __m256i* d = reinterpret_cast<__m256i*>(Dst + i);
    for (int k = 0; k < 4; ++k) _mm256_storeu_si256(d + k, Mix8(s[k], _mm256_loadu_si256(d + k), w[k]));
  }
  BlendRowMaster(Src + i, Dst + i, Count - i, M);
}

}  // namespace vector_set
