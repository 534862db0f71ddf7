#pragma once

// The sets of resampling helpers, for the selector and the tests.

#include "raster/resample_helpers.h"

TResampleHelpers PlainResampleHelpers();

// Present only in builds with the SIMD sources.
// Replace the interpolation and block average of Set by the MMX variants
// (SSE2 code); with Prefetch, BlockAverage prefetches the next block row.
void InstallMMXHelpers(TResampleHelpers& Set, bool Prefetch);
// Replace the two kernel passes of Set by their SSE4.1 versions.
void InstallSSE41KernelPasses(TResampleHelpers& Set);
// Replace the nearest row gather of Set by its SSSE3 or AVX2 version.
void InstallSSSE3Gather(TResampleHelpers& Set);
void InstallAVX2Gather(TResampleHelpers& Set);
// The SSSE3 gather, which the AVX2 one hands the rows it cannot take.
void GatherRowSSSE3(const TColor32* Row, const TGatherPlan& Plan, TColor32* Out);
