// The nearest row gather with SSSE3 byte shuffles: four destination pixels
// from one or two unaligned 4-pixel loads.
#include "raster/resample_helpers_sets.h"

#include <tmmintrin.h>

namespace {

inline __m128i LoadMask(const uint8_t* Bytes) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(Bytes));
}

inline __m128i Window(const TColor32* P) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
}

// Every group alike: the shuffles stay in registers.
template <bool TwoWindows>
int32_t GatherUniform(const TColor32* Row, const TGatherPlan& Plan, TColor32* Out) {
  const TGatherGroup& g = Plan.Groups[0];
  const __m128i low = LoadMask(g.Low), high = LoadMask(g.High);
  const TColor32* p = Row + g.First;
  const int32_t groups = Plan.Count / 4;
  for (int32_t k = 0; k < groups; ++k, p += Plan.UniformStep) {
    __m128i pixels = _mm_shuffle_epi8(Window(p), low);
    if constexpr (TwoWindows) pixels = _mm_or_si128(pixels, _mm_shuffle_epi8(Window(p + 4), high));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + 4 * k), pixels);
  }
  return groups * 4;
}

int32_t GatherGroups(const TColor32* Row, const TGatherPlan& Plan, TColor32* Out) {
  const int32_t groups = Plan.Count / 4;
  for (int32_t k = 0; k < groups; ++k) {
    const TGatherGroup& g = Plan.Groups[k];
    TColor32* out = Out + 4 * k;
    if (g.First < 0) {
      for (int32_t j = 0; j < 4; ++j) out[j] = Row[Plan.Columns[4 * k + j]];
      continue;
    }
    __m128i pixels = _mm_shuffle_epi8(Window(Row + g.First), LoadMask(g.Low));
    if (g.TwoWindows)
      pixels = _mm_or_si128(pixels, _mm_shuffle_epi8(Window(Row + g.First + 4), LoadMask(g.High)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), pixels);
  }
  return groups * 4;
}

}  // namespace

void GatherRowSSSE3(const TColor32* Row, const TGatherPlan& Plan, TColor32* Out) {
  int32_t done;
  if (Plan.UniformStep > 0)
    done = Plan.Groups[0].TwoWindows ? GatherUniform<true>(Row, Plan, Out)
                                     : GatherUniform<false>(Row, Plan, Out);
  else
    done = GatherGroups(Row, Plan, Out);
  for (int32_t i = done; i < Plan.Count; ++i) Out[i] = Row[Plan.Columns[i]];
}

void InstallSSSE3Gather(TResampleHelpers& Set) { Set.GatherRow = GatherRowSSSE3; }
