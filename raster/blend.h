#pragma once

// The pixel routine table.
//
// Every pixel routine exists in two sets: the "MMX set" (here written with
// SSE2 and wider vectors, reproducing the MMX arithmetic bit for bit) and the
// plain set (32-bit integer arithmetic, two bytes per multiplication). The
// sets round differently, and some plain routines write alpha 0 where the
// MMX ones mix it, so results are not interchangeable: the processor test
// alone decides which set runs (ProcessorHasMMX, cpu.h). InstallBlendRoutines
// fills every slot and every by-mode table once, when the raster core starts
// (an initialiser in blend_table.cpp that runs ahead of the program's own);
// until then each slot holds a stub that installs first, so no reader can
// meet an empty slot. Afterwards they never change. Where the processor has
// AVX2 or AVX-512, BlendRow and BlendRowMaster of the "MMX set" run wider
// loops with identical results.
//
// The plain set is in blend_plain.cpp, merge_plain.cpp and channel_plain.cpp;
// the "MMX set" in blend_sse2.cpp, merge_sse2.cpp, channel_sse2.cpp,
// blend_avx2.cpp and blend_avx512.cpp.
//
// Weights, alpha bytes and master alphas are 0..255; 255 gives everything to
// the foreground (first) pixel.

#include "raster/color.h"

#include <cstdint>

using TCombinePixel = TColor32 (*)(TColor32 X, TColor32 Y, uint32_t W);
using TCombinePixelInPlace = void (*)(TColor32 X, TColor32* P, uint32_t W);
using TBlendPixel = TColor32 (*)(TColor32 F, TColor32 B);
using TBlendPixelInPlace = void (*)(TColor32 F, TColor32* P);
using TBlendPixelMaster = TColor32 (*)(TColor32 F, TColor32 B, uint32_t M);
using TBlendPixelMasterInPlace = void (*)(TColor32 F, TColor32* P, uint32_t M);
using TBlendRow = void (*)(const TColor32* Src, TColor32* Dst, int32_t Count);
using TBlendRowMaster = void (*)(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);
using TChannelOp = TColor32 (*)(TColor32 C1, TColor32 C2);

// The slots.
extern TCombinePixel CombinePixel;
extern TCombinePixelInPlace CombinePixelInPlace;
extern TBlendPixel BlendPixel;
extern TBlendPixelInPlace BlendPixelInPlace;
extern TBlendPixelMaster BlendPixelMaster;
extern TBlendPixelMasterInPlace BlendPixelMasterInPlace;
extern TBlendRow BlendRow;
extern TBlendRowMaster BlendRowMaster;

extern TCombinePixel MergePixelWeighted;
extern TCombinePixelInPlace MergePixelWeightedInPlace;
extern TBlendPixel MergePixel;
extern TBlendPixelInPlace MergePixelInPlace;
extern TBlendPixelMaster MergePixelMaster;
extern TBlendPixelMasterInPlace MergePixelMasterInPlace;
extern TBlendRow MergeRow;
extern TBlendRowMaster MergeRowMaster;

extern TChannelOp ChannelAdd;
extern TChannelOp ChannelSubtract;
extern TChannelOp ChannelProduct;
extern TChannelOp ChannelDivide;
extern TChannelOp ChannelModulate;
extern TChannelOp ChannelMax;
extern TChannelOp ChannelMin;
extern TChannelOp ChannelDifference;
extern TChannelOp ChannelExclusion;

// The same routines again, indexed by TCombineMode ([cmBlend], [cmMerge]).
extern TBlendPixel PixelRoutines[2];
extern TBlendPixelInPlace PixelInPlaceRoutines[2];
extern TCombinePixel WeightedRoutines[2];
extern TCombinePixelInPlace WeightedInPlaceRoutines[2];
extern TBlendPixelMaster MasterRoutines[2];
extern TBlendPixelMasterInPlace MasterInPlaceRoutines[2];

// The four row routines by combine mode: Rows[mode] is BlendRow or MergeRow,
// Masters[mode] is BlendRowMaster or MergeRowMaster. (Two arrays rather than
// one of four entries, because the master variants take one more argument.)
struct TRowRoutines {
  TBlendRow Rows[2];
  TBlendRowMaster Masters[2];
};
extern TRowRoutines RowRoutines;

// True exactly when the MMX set is installed.
extern bool UseMMXRoutines;

// While the MMX set is installed: 256 entries of four 16-bit words, entry i
// holding four words of i, starting at a multiple of 8. BiasVector is entry
// 128, the rounding term. Null otherwise.
extern const uint16_t (*WeightVectors)[4];
extern const uint16_t* BiasVector;

// Empties the MMX state after a batch of table routines. The routines here
// use no MMX registers, so this does nothing; callers still run it where a
// batch ends, also when an exception leaves them.
void ClearMMXState();

// Runs once per process (further calls do nothing); the raster core calls it
// during its own start-up, before any other code can read the table. Its
// counterpart at shutdown, after every other static object is gone, releases
// WeightVectors.
void InstallBlendRoutines();

// Word helpers.
void FillWords(TColor32* P, int32_t Count, uint32_t Value);
void CopyWords(const TColor32* Src, TColor32* Dst, int32_t Count);
int32_t ClampToRange(int32_t Value, int32_t Min, int32_t Max);
