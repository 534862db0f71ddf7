// The nearest row gather with AVX2 permutes, for rows whose groups are all
// alike: eight destination pixels from two 8-pixel loads. Other rows, and
// what is left at the end of a row, go to the SSSE3 gather.
#include "raster/resample_helpers_sets.h"

#include <immintrin.h>

namespace {

void GatherRowAVX2(const TColor32* Row, const TGatherPlan& Plan, TColor32* Out) {
  const int32_t step = Plan.UniformStep;
  if (step <= 0 || Plan.Count < 8) {
    GatherRowSSSE3(Row, Plan, Out);
    return;
  }
  // Offsets of the eight pixels of a group pair from the pair's first pixel.
  const TGatherGroup& g = Plan.Groups[0];
  int32_t offsets[8];
  for (int32_t k = 0; k < 4; ++k) {
    offsets[k] = Plan.Columns[k] - g.First;
    offsets[k + 4] = offsets[k] + step;
  }
  if (offsets[7] >= 16) {
    GatherRowSSSE3(Row, Plan, Out);
    return;
  }
  const __m256i index = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(offsets));
  const __m256i fromHigh = _mm256_cmpgt_epi32(index, _mm256_set1_epi32(7));
  const __m256i lane = _mm256_and_si256(index, _mm256_set1_epi32(7));
  const TColor32* p = Row + g.First;
  int32_t done = 0;
  for (; done + 8 <= Plan.Count && (p - Row) + 16 <= Plan.RowLength; done += 8, p += 2 * step) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 8));
    const __m256i pixels = _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(low, lane),
                                              _mm256_permutevar8x32_epi32(high, lane), fromHigh);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + done), pixels);
  }
  // The rest as a plan of its own, starting on a group boundary.
  TGatherPlan rest = Plan;
  rest.Columns += done;
  rest.Count -= done;
  rest.Groups += done / 4;
  rest.UniformStep = 0;
  GatherRowSSSE3(Row, rest, Out + done);
}

}  // namespace

void InstallAVX2Gather(TResampleHelpers& Set) { Set.GatherRow = GatherRowAVX2; }
