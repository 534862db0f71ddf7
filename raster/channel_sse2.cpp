#include "raster/vector_set.h"

#include <emmintrin.h>

namespace vector_set {

namespace {

inline __m128i Load(TColor32 C) { return _mm_cvtsi32_si128(int32_t(C)); }
inline TColor32 Store(__m128i V) { return TColor32(_mm_cvtsi128_si32(V)); }
inline __m128i Words(TColor32 C) { return _mm_unpacklo_epi8(Load(C), _mm_setzero_si128()); }
inline TColor32 PackWords(__m128i V) { return Store(_mm_packus_epi16(V, V)); }

}  // namespace

TColor32 ChannelAdd(TColor32 C1, TColor32 C2) { return Store(_mm_adds_epu8(Load(C1), Load(C2))); }

TColor32 ChannelSubtract(TColor32 C1, TColor32 C2) {
  return Store(_mm_subs_epu8(Load(C1), Load(C2)));
}

TColor32 ChannelModulate(TColor32 C1, TColor32 C2) {
  return PackWords(_mm_srli_epi16(_mm_mullo_epi16(Words(C1), Words(C2)), 8));
}

TColor32 ChannelMax(TColor32 C1, TColor32 C2) { return Store(_mm_max_epu8(Load(C1), Load(C2))); }

TColor32 ChannelMin(TColor32 C1, TColor32 C2) { return Store(_mm_min_epu8(Load(C1), Load(C2))); }

TColor32 ChannelDifference(TColor32 C1, TColor32 C2) {
  const __m128i a = Load(C1);
  const __m128i b = Load(C2);
  return Store(_mm_or_si128(_mm_subs_epu8(a, b), _mm_subs_epu8(b, a)));
}

TColor32 ChannelExclusion(TColor32 C1, TColor32 C2) {
  const __m128i a = Words(C1);
  const __m128i b = Words(C2);
  const __m128i product = _mm_srli_epi16(_mm_mullo_epi16(a, b), 7);
  return PackWords(_mm_subs_epu16(_mm_add_epi16(a, b), product));
}

}  // namespace vector_set
