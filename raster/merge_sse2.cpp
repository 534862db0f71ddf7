#include "raster/vector_set.h"

#include <emmintrin.h>

#include <array>

namespace vector_set {

namespace {

// 65,535 div Ra for every result alpha; entry 0 is never used.
constexpr std::array<uint16_t, 256> kScale = [] {
  std::array<uint16_t, 256> t{};
  for (uint32_t r = 1; r < 256; ++r) t[r] = uint16_t(65535 / r);
  return t;
}();

inline TColor32 WithAlphaByte(TColor32 C, uint32_t A) { return (C & 0x00FFFFFF) | (A << 24); }

// f' = (f Fa) shr 8, b' = (b Ba) shr 8, P = f' + b' - ((Fa b') shr 8), and
// (P S) shr 8 as the high half of (P shl 8) times S; P never exceeds 255,
// so every step fits its 16-bit lane. The alpha lane is discarded.
inline TColor32 MergeByAlpha(TColor32 F, TColor32 B, uint32_t Fa, uint32_t Ba) {
  const uint32_t ra = Fa + Ba - (Fa * Ba) / 255;
  const __m128i zero = _mm_setzero_si128();
  const __m128i fa = _mm_set1_epi16(int16_t(Fa));
  const __m128i f = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(F)), zero);
  const __m128i b = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(B)), zero);
  const __m128i fs = _mm_srli_epi16(_mm_mullo_epi16(f, fa), 8);
  const __m128i bs = _mm_srli_epi16(_mm_mullo_epi16(b, _mm_set1_epi16(int16_t(Ba))), 8);
  const __m128i p = _mm_sub_epi16(_mm_add_epi16(fs, bs), _mm_srli_epi16(_mm_mullo_epi16(fa, bs), 8));
  const __m128i r = _mm_mulhi_epu16(_mm_slli_epi16(p, 8), _mm_set1_epi16(int16_t(kScale[ra])));
  return WithAlphaByte(TColor32(_mm_cvtsi128_si32(_mm_packus_epi16(r, r))), ra);
}

inline TColor32 Merge(TColor32 F, TColor32 B) {
  const uint32_t fa = F >> 24;
  const uint32_t ba = B >> 24;
  if (fa == 0) return B;
  if (ba == 0 || fa == 255) return F;
  return MergeByAlpha(F, B, fa, ba);
}

inline TColor32 MergeMaster(TColor32 F, TColor32 B, uint32_t M) {
  return Merge(WithAlphaByte(F, ((F >> 24) * M) / 255), B);
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

// Four source pixels all opaque, or all transparent, settle the four results
// without the division.
void MergeRow(const TColor32* Src, TColor32* Dst, int32_t Count) {
  const __m128i alphaMask = _mm_set1_epi32(int32_t(0xFF000000));
  int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
    const __m128i alpha = _mm_and_si128(s, alphaMask);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, alphaMask)) == 0xFFFF) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(Dst + i), s);
      continue;
    }
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF) continue;
    for (int32_t k = i; k < i + 4; ++k) Dst[k] = Merge(Src[k], Dst[k]);
  }
  for (; i < Count; ++i) Dst[i] = Merge(Src[i], Dst[i]);
}

void MergeRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M) {
  for (int32_t i = 0; i < Count; ++i) Dst[i] = MergeMaster(Src[i], Dst[i], M);
}

}  // namespace vector_set
