// The nearest row gather with AVX2 permutes: eight destination pixels from
// one or two 8-pixel loads. Rows whose groups are all alike keep their
// permute in registers; other rows derive it from the column map itself.
#include "raster/resample_helpers_sets.h"

#include <immintrin.h>

namespace {

inline __m256i Load(const void* P) { return _mm256_loadu_si256(static_cast<const __m256i*>(P)); }

// Pixels Index (0..15) of the 16 from P, as eight lanes.
inline __m256i PickFromTwo(const TColor32* P, __m256i Index) {
  const __m256i lane = _mm256_and_si256(Index, _mm256_set1_epi32(7));
  const __m256i fromHigh = _mm256_cmpgt_epi32(Index, _mm256_set1_epi32(7));
  return _mm256_blendv_epi8(_mm256_permutevar8x32_epi32(Load(P), lane),
                            _mm256_permutevar8x32_epi32(Load(P + 8), lane), fromHigh);
}

// Rows of alike groups: returns the pixels done.
int32_t GatherUniform(const TColor32* Row, const TGatherPlan& Plan, TColor32* Out) {
  const int32_t step = Plan.UniformStep;
  const TGatherGroup& g = Plan.Groups[0];
  // Offsets of the eight pixels of a group pair from the pair's first pixel.
  int32_t offsets[8];
  for (int32_t k = 0; k < 4; ++k) {
    offsets[k] = Plan.Columns[k] - g.First;
    offsets[k + 4] = offsets[k] + step;
  }
  if (offsets[7] >= 16) return 0;
  const TColor32* p = Row + g.First;
  int32_t done = 0;
  const __m256i index = Load(offsets);
  for (; done + 8 <= Plan.Count && (p - Row) + 16 <= Plan.RowLength; done += 8, p += 2 * step)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(Out + done), PickFromTwo(p, index));
  return done;
}

int32_t GatherBlocks(const TColor32* Row, const TGatherPlan& Plan, TColor32* Out) {
  int32_t done = 0;
  for (; done + 8 <= Plan.Count; done += 8) {
    const int32_t* c = Plan.Columns + done;
    const int32_t first = c[0];
    const int64_t span = int64_t(c[7]) - first;
    auto* out = reinterpret_cast<__m256i*>(Out + done);
    const __m256i index = _mm256_sub_epi32(Load(c), _mm256_set1_epi32(first));
    if (span < 8 && int64_t(first) + 8 <= Plan.RowLength) {
      _mm256_storeu_si256(out, _mm256_permutevar8x32_epi32(Load(Row + first), index));
    } else if (span < 16 && int64_t(first) + 16 <= Plan.RowLength) {
      _mm256_storeu_si256(out, PickFromTwo(Row + first, index));
    } else {
      for (int32_t k = 0; k < 8; ++k) Out[done + k] = Row[c[k]];
    }
  }
  return done;
}

void GatherRowAVX2(const TColor32* Row, const TGatherPlan& Plan, TColor32* Out) {
  const int32_t done =
      Plan.UniformStep > 0 && Plan.Count >= 8 ? GatherUniform(Row, Plan, Out) : 0;
  // The rest, from a group boundary, as a plan of its own.
  TGatherPlan rest = Plan;
  rest.Columns += done;
  rest.Count -= done;
  rest.Groups += done / 4;
  rest.UniformStep = 0;
  const int32_t blocks = GatherBlocks(Row, rest, Out + done);
  for (int32_t i = done + blocks; i < Plan.Count; ++i) Out[i] = Row[Plan.Columns[i]];
}

}  // namespace

void InstallAVX2Gather(TResampleHelpers& Set) { Set.GatherRow = GatherRowAVX2; }
