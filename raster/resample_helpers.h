#pragma once

// The processor-dependent helpers of the resamplers.
//
// Two sets exist. The plain set is scalar: its Interpolate4 mixes through the
// CombinePixel slot of the blend table, so it rounds like the installed
// blend set. The "MMX set" (written with SSE2 intrinsics, built only on x86
// without QUORVANE_NO_SIMD) reproduces the MMX arithmetic: Interpolate4
// weighs with 0..256 and truncates, which differs from the plain set;
// BlockAverage gives the same results as the plain one. Which set runs is
// decided once, on first use, by the processor test (ProcessorHasMMX); with
// 3DNow! the MMX BlockAverage also prefetches the source rows.
//
// Beside them, the set holds the row loops of the kernel resampler's two
// integer passes, vectorised with SSE4.1 when the processor has it, and the
// row gather of nearest sampling, with SSSE3 byte shuffles or AVX2
// permutes. They give
// identical results in every set: the arithmetic is exact.

#include "raster/color.h"

#include <cstddef>
#include <cstdint>

// WX and WY hold the weight of the first pixel of a pair, 0..256, in both
// 16-bit halves. P addresses the upper-left pixel of a 2 x 2 block, Q the one
// below it.
using TInterpolate4 = TColor32 (*)(uint32_t WX, uint32_t WY, const TColor32* P, const TColor32* Q);

// The mean of a Width x Height block whose rows lie Stride bytes apart.
using TBlockAverage = TColor32 (*)(int32_t Width, int32_t Height, const TColor32* P,
                                   ptrdiff_t Stride);

// One column of the bilinear resampler's map: the left pixel of the pair and
// its packed weight.
struct TInterpolationEntry {
  int32_t Index;
  uint32_t Weight;
};

// A row of Interpolate4 results: Out[i] mixes the pairs at XMap[i].Index of
// Row and NextRow, with the column weight XMap[i].Weight and row weight WY.
using TInterpolateRow = void (*)(const TColor32* Row, const TColor32* NextRow,
                                 const TInterpolationEntry* XMap, int32_t Count, uint32_t WY,
                                 TColor32* Out);

// One tap of a flattened cluster: Offset is the source pixel's distance, in
// pixels, from the pass's base address.
struct TKernelTap {
  ptrdiff_t Offset;
  int32_t Weight;
};

// Vertical pass: for each of Count columns, Sums receives the four channel
// sums (blue, green, red, alpha) of Weight x byte over the taps, whose
// offsets are whole rows from Base.
using TKernelVerticalPass = void (*)(const TColor32* Base, const TKernelTap* Taps,
                                     int32_t TapCount, int32_t Count, int32_t* Sums);

// Horizontal pass: for each of Count destination pixels, the taps
// Taps[Starts[i] .. Starts[i + 1]) address records of Sums (offsets in
// records); the channel sums, in units of 1/65,536, are packed into Out,
// clamped to 0..255 first when Clamp is set.
using TKernelHorizontalPass = void (*)(const int32_t* Sums, const TKernelTap* Taps,
                                       const int32_t* Starts, int32_t Count, bool Clamp,
                                       TColor32* Out);

// Four consecutive columns of a nearest-sampling map that lie within eight
// pixels from First, with byte shuffles picking them from the two 4-pixel
// windows at First and First + 4 (0x80 bytes pick nothing). First < 0 marks
// columns to be copied one by one.
struct TGatherGroup {
  int32_t First;
  bool TwoWindows;
  alignas(16) uint8_t Low[16];
  alignas(16) uint8_t High[16];
};

// How one row of nearest sampling picks its pixels: Out[i] = Row[Columns[i]]
// for i < Count, with one group per four columns. When UniformStep > 0,
// every group has the shuffles of the first one and starts UniformStep
// pixels after the one before.
struct TGatherPlan {
  const int32_t* Columns;
  int32_t Count;
  const TGatherGroup* Groups;
  int32_t UniformStep;
  int32_t RowLength;  // pixels that may be loaded from Row
};

using TGatherRow = void (*)(const TColor32* Row, const TGatherPlan& Plan, TColor32* Out);

struct TResampleHelpers {
  TInterpolate4 Interpolate4;
  TInterpolateRow InterpolateRow;
  TBlockAverage BlockAverage;
  TKernelVerticalPass VerticalPass;
  TKernelHorizontalPass HorizontalPass;
  TGatherRow GatherRow;
};

// The installed set, chosen by the processor test the first time anyone asks.
const TResampleHelpers& ResampleHelpers();

enum class TResampleHelperSet { Plain, MMX, MMXPrefetch };

// Test hook: installs the given set in place of the processor's choice.
// Returns false, changing nothing, when this build lacks the set or the
// processor cannot run it.
bool InstallResampleHelpers(TResampleHelperSet Set);
