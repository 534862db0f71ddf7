// The kernel resampler's two passes with SSE4.1. Integer arithmetic without
// overflow is exact, so these give the plain passes' results bit for bit.
#include "raster/kernel_pack.h"
#include "raster/resample_helpers_sets.h"

#include <smmintrin.h>

namespace {

// Two taps at a time: the bytes of the two source rows are interleaved into
// 16-bit pairs and multiplied by the weight pair with one madd. Weights of
// the vertical taps fit 16 bits (the caller checks).
void VerticalPassSSE41(const TColor32* Base, const TKernelTap* Taps, int32_t TapCount,
                       int32_t Count, int32_t* Sums) {
  const __m128i zero = _mm_setzero_si128();
  int32_t x = 0;
  for (; x + 4 <= Count; x += 4) {
    __m128i acc0 = zero, acc1 = zero, acc2 = zero, acc3 = zero;
    for (int32_t t = 0; t < TapCount; t += 2) {
      const bool pair = t + 1 < TapCount;
      const TKernelTap& a = Taps[t];
      const TKernelTap& b = pair ? Taps[t + 1] : Taps[t];
      const int32_t wb = pair ? b.Weight : 0;
      const __m128i w = _mm_set1_epi32(int32_t(uint32_t(a.Weight) & 0xFFFF) | (wb << 16));
      const __m128i ra = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Base + a.Offset + x));
      const __m128i rb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Base + b.Offset + x));
      const __m128i lo = _mm_unpacklo_epi8(ra, rb);
      const __m128i hi = _mm_unpackhi_epi8(ra, rb);
      acc0 = _mm_add_epi32(acc0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
      acc1 = _mm_add_epi32(acc1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
      acc2 = _mm_add_epi32(acc2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
      acc3 = _mm_add_epi32(acc3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
    }
    auto* out = reinterpret_cast<__m128i*>(Sums + 4 * ptrdiff_t(x));
    _mm_storeu_si128(out, acc0);
    _mm_storeu_si128(out + 1, acc1);
    _mm_storeu_si128(out + 2, acc2);
    _mm_storeu_si128(out + 3, acc3);
  }
  for (; x < Count; ++x) {
    __m128i acc = zero;
    for (int32_t t = 0; t < TapCount; ++t) {
      const __m128i c = _mm_cvtepu8_epi32(_mm_cvtsi32_si128(int32_t(Base[Taps[t].Offset + x])));
      acc = _mm_add_epi32(acc, _mm_mullo_epi32(c, _mm_set1_epi32(Taps[t].Weight)));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Sums + 4 * ptrdiff_t(x)), acc);
  }
}

inline TColor32 PackSums(__m128i Acc, bool Clamp) {
  if (Clamp) Acc = _mm_min_epi32(_mm_max_epi32(Acc, _mm_setzero_si128()), _mm_set1_epi32(0xFF0000));
  const __m128i bytes = _mm_srli_epi32(_mm_and_si128(Acc, _mm_set1_epi32(0xFF0000)), 16);
  const __m128i words = _mm_packus_epi32(bytes, bytes);
  return TColor32(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
}

void HorizontalPassSSE41(const int32_t* Sums, const TKernelTap* Taps, const int32_t* Starts,
                         int32_t Count, bool Clamp, TColor32* Out) {
  for (int32_t i = 0; i < Count; ++i) {
    __m128i acc = _mm_setzero_si128();
    for (int32_t t = Starts[i]; t < Starts[i + 1]; ++t) {
      const __m128i s =
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(Sums + 4 * Taps[t].Offset));
      acc = _mm_add_epi32(acc, _mm_mullo_epi32(s, _mm_set1_epi32(Taps[t].Weight)));
    }
    Out[i] = PackSums(acc, Clamp);
  }
}

}  // namespace

void InstallSSE41KernelPasses(TResampleHelpers& Set) {
  Set.VerticalPass = VerticalPassSSE41;
  Set.HorizontalPass = HorizontalPassSSE41;
}
