// Rows in 512-bit vectors; the arithmetic is that of the SSE2 loop.
#include "raster/vector_set.h"

#include <immintrin.h>

namespace vector_set {

namespace {

// Per 128-bit quarter, as in the AVX2 loop: pixels 0-1 unpack low, 2-3 high.
inline __m512i SpreadLow(__m512i W) {
  const __m512i c = _mm512_broadcast_i32x4(
      _mm_setr_epi8(0, 1, 0, 1, 0, 1, 0, 1, 4, 5, 4, 5, 4, 5, 4, 5));
  return _mm512_shuffle_epi8(W, c);
}

inline __m512i SpreadHigh(__m512i W) {
  const __m512i c = _mm512_broadcast_i32x4(
      _mm_setr_epi8(8, 9, 8, 9, 8, 9, 8, 9, 12, 13, 12, 13, 12, 13, 12, 13));
  return _mm512_shuffle_epi8(W, c);
}

inline __m512i Mix16(__m512i S, __m512i D, __m512i W) {
  const __m512i zero = _mm512_setzero_si512();
  const __m512i half = _mm512_set1_epi8(char(0x80));
  const __m512i dLo = _mm512_unpacklo_epi8(D, zero);
  const __m512i dHi = _mm512_unpackhi_epi8(D, zero);
  __m512i lo = _mm512_mullo_epi16(_mm512_sub_epi16(_mm512_unpacklo_epi8(S, zero), dLo), SpreadLow(W));
  __m512i hi = _mm512_mullo_epi16(_mm512_sub_epi16(_mm512_unpackhi_epi8(S, zero), dHi), SpreadHigh(W));
  lo = _mm512_srli_epi16(_mm512_add_epi16(lo, _mm512_unpacklo_epi8(half, D)), 8);
  hi = _mm512_srli_epi16(_mm512_add_epi16(hi, _mm512_unpackhi_epi8(half, D)), 8);
  return _mm512_packus_epi16(lo, hi);
}

// Opaque raised to weight 256: the mix then gives the source exactly.
inline __m512i RowWeights(__m512i S) {
  const __m512i a = _mm512_srli_epi32(S, 24);
  return _mm512_mask_add_epi32(a, _mm512_cmpeq_epi32_mask(a, _mm512_set1_epi32(255)), a,
                               _mm512_set1_epi32(1));
}

inline __m512i RowMasterWeights(__m512i S, __m512i Master) {
  const __m512i a1 = _mm512_add_epi32(_mm512_srli_epi32(S, 24), _mm512_set1_epi32(1));
  return _mm512_srli_epi32(_mm512_mullo_epi16(a1, Master), 8);
}

}  // namespace

// 32 pixels per step: taking the shortcuts for whole steps only keeps the
// branches predictable on rows that alternate between short runs, which
// matters most where the row streams from memory.
void BlendRowAVX512(const TColor32* Src, TColor32* Dst, int32_t Count) {
  const __m512i alphaMask = _mm512_set1_epi32(int32_t(0xFF000000));
  int32_t i = 0;
  for (; i + 32 <= Count; i += 32) {
    const __m512i s0 = _mm512_loadu_si512(Src + i);
    const __m512i s1 = _mm512_loadu_si512(Src + i + 16);
    const __m512i a0 = _mm512_and_si512(s0, alphaMask);
    const __m512i a1 = _mm512_and_si512(s1, alphaMask);
    if (_mm512_cmpeq_epi32_mask(_mm512_and_si512(a0, a1), alphaMask) == 0xFFFF) {
      _mm512_storeu_si512(Dst + i, s0);
      _mm512_storeu_si512(Dst + i + 16, s1);
      continue;
    }
    if (_mm512_test_epi32_mask(_mm512_or_si512(a0, a1), alphaMask) == 0) continue;
    _mm512_storeu_si512(Dst + i, Mix16(s0, _mm512_loadu_si512(Dst + i), RowWeights(s0)));
    _mm512_storeu_si512(Dst + i + 16, Mix16(s1, _mm512_loadu_si512(Dst + i + 16), RowWeights(s1)));
  }
  BlendRow(Src + i, Dst + i, Count - i);
}

void BlendRowMasterAVX512(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  const __m512i master = _mm512_set1_epi32(int32_t(M));
  int32_t i = 0;
  for (; i + 32 <= Count; i += 32) {
    const __m512i s0 = _mm512_loadu_si512(Src + i);
    const __m512i s1 = _mm512_loadu_si512(Src + i + 16);
    const __m512i w0 = RowMasterWeights(s0, master);
    const __m512i w1 = RowMasterWeights(s1, master);
    if (_mm512_test_epi32_mask(_mm512_or_si512(w0, w1), _mm512_or_si512(w0, w1)) == 0) continue;
    _mm512_storeu_si512(Dst + i, Mix16(s0, _mm512_loadu_si512(Dst + i), w0));
    _mm512_storeu_si512(Dst + i + 16, Mix16(s1, _mm512_loadu_si512(Dst + i + 16), w1));
  }
  BlendRowMaster(Src + i, Dst + i, Count - i, M);
}

}  // namespace vector_set
