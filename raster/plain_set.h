#pragma once

// The plain routine set: 32-bit integer arithmetic only.

#include "raster/color.h"

#include <cstdint>

namespace plain_set {

// Per byte ((x * w + 128) shr 8) + ((y * (255 - w) + 128) shr 8): the two
// products are rounded separately. The colour-only form gives alpha 0.
TColor32 PlainMix(TColor32 X, TColor32 Y, uint32_t W);
TColor32 PlainMixColour(TColor32 X, TColor32 Y, uint32_t W);

TColor32 CombinePixel(TColor32 X, TColor32 Y, uint32_t W);
void CombinePixelInPlace(TColor32 X, TColor32* P, uint32_t W);
TColor32 BlendPixel(TColor32 F, TColor32 B);
void BlendPixelInPlace(TColor32 F, TColor32* P);
TColor32 BlendPixelMaster(TColor32 F, TColor32 B, uint32_t M);
void BlendPixelMasterInPlace(TColor32 F, TColor32* P, uint32_t M);
void BlendRow(const TColor32* Src, TColor32* Dst, int32_t Count);
void BlendRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);

TColor32 MergePixelWeighted(TColor32 F, TColor32 B, uint32_t W);
void MergePixelWeightedInPlace(TColor32 F, TColor32* P, uint32_t W);
TColor32 MergePixel(TColor32 F, TColor32 B);
void MergePixelInPlace(TColor32 F, TColor32* P);
TColor32 MergePixelMaster(TColor32 F, TColor32 B, uint32_t M);
void MergePixelMasterInPlace(TColor32 F, TColor32* P, uint32_t M);
void MergeRow(const TColor32* Src, TColor32* Dst, int32_t Count);
void MergeRowMaster(const TColor32* Src, TColor32* Dst, int32_t Count, uint32_t M);

// ChannelProduct and ChannelDivide serve both sets.
TColor32 ChannelAdd(TColor32 C1, TColor32 C2);
TColor32 ChannelSubtract(TColor32 C1, TColor32 C2);
TColor32 ChannelProduct(TColor32 C1, TColor32 C2);
TColor32 ChannelDivide(TColor32 C1, TColor32 C2);
TColor32 ChannelModulate(TColor32 C1, TColor32 C2);
TColor32 ChannelMax(TColor32 C1, TColor32 C2);
TColor32 ChannelMin(TColor32 C1, TColor32 C2);
TColor32 ChannelDifference(TColor32 C1, TColor32 C2);
TColor32 ChannelExclusion(TColor32 C1, TColor32 C2);

}  // namespace plain_set
