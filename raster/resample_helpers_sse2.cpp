// The "MMX" resampling helpers, written with SSE2. Interpolate4 reproduces
// the MMX arithmetic: weights 0..256, every step truncating.
#include "raster/block_mean.h"
#include "raster/resample_helpers_sets.h"

#include <emmintrin.h>

#include <algorithm>

namespace {

// Per channel (A0 x W + A1 x (256 - W)) for the pairs held as interleaved
// 16-bit words; the sums fit, at most 255 x 256.
inline __m128i WeighPairs(__m128i Pairs, uint32_t W) {
  return _mm_madd_epi16(Pairs, _mm_set1_epi32(int32_t(W | ((256 - W) << 16))));
}

inline TColor32 Interpolate4Inline(uint32_t WX, uint32_t WY, const TColor32* P,
                                   const TColor32* Q) {
  const __m128i zero = _mm_setzero_si128();
  const uint32_t wx = WX & 0xFFFF;
  const uint32_t wy = WY & 0xFFFF;
  const __m128i p = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(P[0])),
                                      _mm_cvtsi32_si128(int32_t(P[1])));
  const __m128i q = _mm_unpacklo_epi8(_mm_cvtsi32_si128(int32_t(Q[0])),
                                      _mm_cvtsi32_si128(int32_t(Q[1])));
  const __m128i top = _mm_srli_epi32(WeighPairs(_mm_unpacklo_epi8(p, zero), wx), 8);
  const __m128i bottom = _mm_srli_epi32(WeighPairs(_mm_unpacklo_epi8(q, zero), wx), 8);
  const __m128i mixed =
      _mm_srli_epi32(WeighPairs(_mm_or_si128(top, _mm_slli_epi32(bottom, 16)), wy), 8);
  const __m128i words = _mm_packs_epi32(mixed, mixed);
  return TColor32(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
}

TColor32 Interpolate4MMX(uint32_t WX, uint32_t WY, const TColor32* P, const TColor32* Q) {
  return Interpolate4Inline(WX, WY, P, Q);
}

void InterpolateRowMMX(const TColor32* Row, const TColor32* NextRow,
                       const TInterpolationEntry* XMap, int32_t Count, uint32_t WY,
                       TColor32* Out) {
  for (int32_t i = 0; i < Count; ++i)
    Out[i] = Interpolate4Inline(XMap[i].Weight, WY, Row + XMap[i].Index, NextRow + XMap[i].Index);
}

// Pixels are added in 16-bit lanes, each lane taking at most 257 pixels
// (257 x 255 = 65,535) before it is widened into 32-bit lanes; those go into
// 64-bit totals well before they could overflow, so any block size is safe.
template <bool Prefetch>
TColor32 BlockAverageMMX(int32_t Width, int32_t Height, const TColor32* P, ptrdiff_t Stride) {
  constexpr int32_t kChunk = 512;                // pixels per 16-bit run
  constexpr uint64_t kWideLimit = 1u << 24;      // pixels per 32-bit run
  const __m128i zero = _mm_setzero_si128();
  uint64_t totals[4] = {0, 0, 0, 0};
  __m128i wide = zero;
  uint64_t wideCount = 0;
  auto flushWide = [&] {
    alignas(16) uint32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), wide);
    for (int c = 0; c < 4; ++c) totals[c] += lanes[c];
    wide = zero;
    wideCount = 0;
  };

  const auto* row = reinterpret_cast<const uint8_t*>(P);
  for (int32_t y = 0; y < Height; ++y, row += Stride) {
    if constexpr (Prefetch)
      if (y + 1 < Height) _mm_prefetch(reinterpret_cast<const char*>(row + Stride), _MM_HINT_T0);
    const auto* pixels = reinterpret_cast<const TColor32*>(row);
    for (int32_t x = 0; x < Width;) {
      const int32_t n = std::min(Width - x, kChunk);
      if (wideCount + uint64_t(n) > kWideLimit) flushWide();
      __m128i narrow = zero;
      int32_t k = 0;
      for (; k + 4 <= n; k += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + x + k));
        narrow = _mm_add_epi16(narrow, _mm_unpacklo_epi8(v, zero));
        narrow = _mm_add_epi16(narrow, _mm_unpackhi_epi8(v, zero));
      }
      for (; k < n; ++k) {
        const __m128i v = _mm_cvtsi32_si128(int32_t(pixels[x + k]));
        narrow = _mm_add_epi16(narrow, _mm_unpacklo_epi8(v, zero));
      }
      wide = _mm_add_epi32(wide, _mm_unpacklo_epi16(narrow, zero));
      wide = _mm_add_epi32(wide, _mm_unpackhi_epi16(narrow, zero));
      wideCount += uint64_t(n);
      x += n;
    }
  }
  flushWide();
  return BlockMean(totals[0], totals[1], totals[2], totals[3], uint64_t(Width) * uint64_t(Height));
}

}  // namespace

void InstallMMXHelpers(TResampleHelpers& Set, bool Prefetch) {
  Set.Interpolate4 = Interpolate4MMX;
  Set.InterpolateRow = InterpolateRowMMX;
  Set.BlockAverage = Prefetch ? BlockAverageMMX<true> : BlockAverageMMX<false>;
}
