#include "raster/blend.h"

#include <algorithm>
#include <cstring>

void FillWords(TColor32* P, int32_t Count, uint32_t Value) {
  if (Count > 0) std::fill_n(P, Count, Value);
}

void CopyWords(const TColor32* Src, TColor32* Dst, int32_t Count) {
  if (Count > 0 && Src != Dst) std::memcpy(Dst, Src, size_t(Count) * sizeof(TColor32));
}

int32_t ClampToRange(int32_t Value, int32_t Min, int32_t Max) {
  if (Value < Min) return Min;
  if (Value > Max) return Max;
  return Value;
}
